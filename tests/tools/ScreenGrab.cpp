// Saves what an X display shows to a PNG file: screen_grab OUT.png [X Y WIDTH HEIGHT]
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication application(argc, argv);
    if (argc != 2 && argc != 6) {
        std::fprintf(stderr, "usage: screen_grab OUT.png [X Y WIDTH HEIGHT]\n");
        return 2;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    const QPixmap picture = argc == 6
                                ? screen->grabWindow(0, std::atoi(argv[2]), std::atoi(argv[3]),
                                                     std::atoi(argv[4]), std::atoi(argv[5]))
                                : screen->grabWindow(0);
    return picture.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
