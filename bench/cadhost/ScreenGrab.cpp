// cadhost_screengrab OUT.png [DELAY_MS]: saves the whole screen of the current display.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QThread>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) return 2;
    if (argc > 2) QThread::msleep(ulong(QByteArray(argv[2]).toULong()));
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return 1;
    return screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
