#pragma once

#include <functional>

class QDialog;

namespace vorlane {

// Shows a dialog modally and returns its result. The dialogs show every window of their own
// (entry dialog, questions, messages, file choice) through one of these, so a test can answer
// them in place of a user without a nested event loop.
using ModalRunner = std::function<int(QDialog& dialog)>;

// The real thing: dialog.exec().
int RunModal(QDialog& dialog);

} // namespace vorlane
