#pragma once

#include <QDialog>

namespace vorlane {

// What every window of the program shares: a dialog of fixed size with a close box and no
// minimize or maximize box.
inline constexpr Qt::WindowFlags kFixedDialogFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

// Caption, the fixed client size (in design pixels, grown with the desktop's font) and the
// program's icon. The dialog shows the desktop's font.
void SetUpFixedDialog(QDialog& dialog, const char* caption, int clientWidth, int clientHeight);

// Moves the window, frame included, to the middle of its screen's free area.
void CentreOnScreen(QWidget& window);

} // namespace vorlane
