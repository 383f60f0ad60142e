#include "ui/ModalRunner.h"

#include <QDialog>

namespace vorlane {

int RunModal(QDialog& dialog)
{
    return dialog.exec();
}

} // namespace vorlane
