// screengrab: saves the whole X screen as a PNG, for the screenshots in docs/ (run under Xvfb beside
// the programs). Usage: screengrab OUTPUT.png
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTextStream>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "Użycie: screengrab PLIK.png\n";
        return 2;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || !screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1]))) return 1;
    return 0;
}
