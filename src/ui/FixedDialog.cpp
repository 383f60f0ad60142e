#include "ui/FixedDialog.h"

#include "ui/ProgramIcon.h"
#include "ui/QtText.h"

#include <QFont>
#include <QPixmap>
#include <QScreen>

namespace vorlane {

void SetUpFixedDialog(QDialog& dialog, const char* caption, int clientWidth, int clientHeight)
{
    dialog.setWindowTitle(Q(caption));
    dialog.setFont(QFont("Verdana", 8));
    dialog.setFixedSize(clientWidth, clientHeight);
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
