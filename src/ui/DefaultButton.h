#pragma once

class QDialog;

namespace vorlane {

class TGradBtn;

// Makes the button the dialog's default: Enter anywhere in the dialog clicks it, unless another
// of the dialog's buttons has the focus (Enter clicks that one itself) or the focused control
// takes Enter for its own (the entry list edits with it). Escape stays the dialog's Cancel.
void MakeDefaultButton(QDialog& dialog, TGradBtn& button);

} // namespace vorlane
