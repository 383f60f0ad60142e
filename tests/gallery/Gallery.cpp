// Renders every window of the program and the gradient button in all its looks to PNG files, on
// the offscreen platform, so that a reviewer can look at them without a desktop:
//
//     vorlane_gallery OUTPUT_FOLDER
#include "Gallery.h"

#include <QApplication>
#include <QDir>
#include <QFocusEvent>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace vorlane::gallery {

QImage Grab(QWidget& widget)
{
    return widget.grab().toImage();
}

// Offscreen windows have no real keyboard focus to move, so the widget is told directly.
void GiveFocus(QWidget& widget)
{
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(&widget, &focusIn);
}

} // namespace vorlane::gallery

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(".")) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    vorlane::gallery::Shots shots;
    vorlane::gallery::AddGradBtnShots(shots);
    vorlane::gallery::AddMessageFormShots(shots);
    vorlane::gallery::AddDialogShots(shots);
    vorlane::gallery::AddTrayShots(shots);

    int failures = 0;
    for (const auto& shot : shots) {
        const QString file = folder.filePath(shot.name + ".png");
        if (shot.image.isNull() || !shot.image.save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            ++failures;
        }
    }
    std::printf("%zu pictures in %s\n", shots.size(), argv[1]);
    return failures == 0 ? 0 : 1;
}
