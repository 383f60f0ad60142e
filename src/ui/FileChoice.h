#pragma once

class QFileDialog;

namespace vorlane {

// Sets up a dialog that chooses an existing file: the filter in the program's own form
// ("Wave files|*.wav|All Files|*.*"), the suffix taken when none is typed, and, for programs,
// a first filter that shows the files one may run (programs here carry no ".exe").
void SetUpFileChoice(QFileDialog& dialog, const char* filter, const char* defaultSuffix,
                     bool executablesFirst);

} // namespace vorlane
