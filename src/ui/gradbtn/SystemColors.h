#pragma once

#include "ui/gradbtn/WinColor.h"

#include <QColor>
#include <QPalette>

namespace vorlane {

// A colour value made drawable. A plain colour is used as it is; a system colour takes the
// palette's colour of the same role (button highlight = Light, button shadow = Dark), from the
// active group so that a disabled widget keeps its colours. An unknown system colour is black.
QColor ResolveColor(TColor color, const QPalette& palette);

// The plain colour value of ResolveColor's answer.
TColor ResolvePlainColor(TColor color, const QPalette& palette);

} // namespace vorlane
