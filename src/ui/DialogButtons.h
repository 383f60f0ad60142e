#pragma once

#include <string>

class QWidget;

namespace vorlane {

class TGradBtn;

// A gradient button with the Aluminum look that every dialog button of the program carries, set
// property by property (presets take effect only while designing): a bold 10-point black font of
// the given family.
TGradBtn* MakeAluminumButton(QWidget* parent, const std::string& caption, const char* fontFamily,
                             const std::string& hint = {});

} // namespace vorlane
