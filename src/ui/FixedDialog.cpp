#include "ui/FixedDialog.h"

#include "ui/ProgramIcon.h"

#include <QFont>
#include <QPixmap>

namespace vorlane {

void SetUpFixedDialog(QDialog& dialog, const char* caption, int clientWidth, int clientHeight)
{
    dialog.setWindowTitle(QString::fromUtf8(caption));
    dialog.setFont(QFont("Verdana", 8));
    dialog.setFixedSize(clientWidth, clientHeight);
    dialog.setWindowIcon(QPixmap::fromImage(ProgramIconImage()));
}

} // namespace vorlane
