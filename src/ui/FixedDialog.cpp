#include "ui/FixedDialog.h"

#include "ui/DialogUnits.h"
#include "ui/ProgramIcon.h"
#include "ui/QtText.h"

#include <QFont>
#include <QPixmap>
#include <QScreen>

namespace vorlane {

void SetUpFixedDialog(QDialog& dialog, const char* caption, int clientWidth, int clientHeight)
{
    dialog.setWindowTitle(Q(caption));
    dialog.setFixedSize(DialogUnits().Size(clientWidth, clientHeight));
    dialog.setWindowIcon(QPixmap::fromImage(ProgramIconImage()));
}

void CentreOnScreen(QWidget& window)
{
    if (const QScreen* where = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(where->availableGeometry().center());
        window.move(frame.topLeft());
    }
}

} // namespace vorlane
