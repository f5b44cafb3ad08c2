// murrel-grab-window: saves what an X window shows as a PNG, for the project's screenshot script.
// Usage: murrel-grab-window WINDOW_ID OUT.png
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: murrel-grab-window WINDOW_ID OUT.png\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication application(argc, argv);
    const auto window = static_cast<WId>(std::strtoull(argv[1], nullptr, 0));
    QScreen* screen = QGuiApplication::primaryScreen();
    const QPixmap shot = screen ? screen->grabWindow(window) : QPixmap();
    if (shot.isNull() || !shot.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "murrel-grab-window: could not grab window %s\n", argv[1]);
        return 1;
    }
    return 0;
}
