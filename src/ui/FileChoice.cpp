#include "ui/FileChoice.h"

#include "ui/QtText.h"
#include "ui/SettingsRules.h"

#include <QFileDialog>

namespace vorlane {

void SetUpFileChoice(QFileDialog& dialog, const char* filter, const char* defaultSuffix,
                     bool executablesFirst)
{
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    QStringList filters;
    for (const auto& nameFilter : NameFilters(filter))
        filters << Q(nameFilter);
    dialog.setNameFilters(filters);
    if (defaultSuffix != nullptr)
        dialog.setDefaultSuffix(defaultSuffix);
    if (!executablesFirst)
        return;
    const QString executables = filters.value(0);
    const auto follow = [&dialog, executables](const QString& chosen) {
        QDir::Filters shown = QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot;
        if (chosen == executables)
            shown |= QDir::Executable;
        dialog.setFilter(shown);
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, follow);
    dialog.setNameFilters({"Executables files (*)", filters.value(1)});
    follow("Executables files (*)");
}

} // namespace vorlane
