// Renders the program's icon for the hicolor theme at build time: the yellow "mail waiting"
// envelope of the tray, drawn (not scaled) at each size so small sizes stay crisp.
//
//     vorlane_render_icons OUTPUT_FOLDER SIZE...
//
// writes OUTPUT_FOLDER/<size>x<size>/apps/vorlane.png for every size.
#include "app/TrayImages.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>

namespace {

// The still picture of the tray's "mail waiting" state: what the user knows the program by.
constexpr int kMailWaitingImage = 2;

} // namespace

int main(int argc, char** argv)
{
    // Runs during the build, where there may be no display.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER SIZE...\n", argv[0]);
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    for (int i = 2; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size < 1 || size > 1024) {
            std::fprintf(stderr, "not a size: %s\n", argv[i]);
            return 2;
        }
        const QString folder = QString("%1x%1/apps").arg(size);
        const QString file = root.filePath(folder + "/vorlane.png");
        if (!root.mkpath(folder) || !vorlane::TrayImage(kMailWaitingImage, size).save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
