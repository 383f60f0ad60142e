// Renders every window of the program and the gradient button in all its looks to PNG files, on
// the offscreen platform, so that a reviewer can look at them without a desktop:
//
//     vorlane_gallery OUTPUT_FOLDER
#include "Gallery.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QFont>
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

    // The windows' design font first; then the windows again with larger desktop text, each
    // size in a folder of its own ("11pt/", "14pt/").
    QApplication::setFont(QFont("DejaVu Sans", 8));
    vorlane::gallery::Shots shots;
    vorlane::gallery::AddGradBtnShots(shots);
    vorlane::gallery::AddMessageFormShots(shots);
    vorlane::gallery::AddDialogShots(shots);
    vorlane::gallery::AddTrayShots(shots);
    for (const int points : {11, 14}) {
        QApplication::setFont(QFont("DejaVu Sans", points));
        vorlane::gallery::Shots larger;
        vorlane::gallery::AddMessageFormShots(larger);
        vorlane::gallery::AddDialogShots(larger);
        for (auto& shot : larger)
            shots.push_back({QString("%1pt/%2").arg(points).arg(shot.name), std::move(shot.image)});
    }

    int failures = 0;
    for (const auto& shot : shots) {
        const QString file = folder.filePath(shot.name + ".png");
        folder.mkpath(QFileInfo(file).path());
        if (shot.image.isNull() || !shot.image.save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            ++failures;
        }
    }
    std::printf("%zu pictures in %s\n", shots.size(), argv[1]);
    return failures == 0 ? 0 : 1;
}
