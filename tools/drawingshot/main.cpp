// drawingshot IN.dxf OUT.png [X0 Y0 X1 Y1] [WIDTH HEIGHT]: opens a drawing in the cadhost window,
// zooms to the window given in drawing units (the extents without one) and saves the window as a
// PNG, for the screenshots in docs/ (runs offscreen). What the view could not draw (references nested
// too deep, past the primitive limit) is written on the picture and to standard error.
#include "cadhost/HostInteraction.h"
#include "cadhost/MainWindow.h"
#include "platform/cad/engine/Geometry.h"

#include <QApplication>
#include <QTextStream>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 && args.size() != 7 && args.size() != 9) {
        QTextStream(stderr)
            << "Użycie: drawingshot RYSUNEK.dxf WYNIK.png [X0 Y0 X1 Y1] [SZEROKOŚĆ WYSOKOŚĆ]\n";
        return 2;
    }
    cad::ObjectModel model;
    cadhost::HostInteraction interaction(model);
    model.setInteraction(&interaction);
    cadhost::MainWindow window(model, interaction);
    window.resize(args.size() == 9 ? args[7].toInt() : 1400, args.size() == 9 ? args[8].toInt() : 900);
    if (!window.openFile(args[1])) {
        QTextStream(stderr) << "Nie można otworzyć rysunku: " << args[1] << '\n';
        return 1;
    }
    window.syncDocuments();
    window.view()->drawingChanged();
    window.show();
    if (args.size() >= 7) {
        cad::db::Box box;
        box.add(args[3].toDouble(), args[4].toDouble());
        box.add(args[5].toDouble(), args[6].toDouble());
        window.view()->zoomWindow(box);
    } else {
        window.view()->zoomExtents();
    }
    QTimer::singleShot(300, &app, [&] {
        const bool ok = window.grab().save(args[2]);
        // What the picture lacks is written on it, and told here for whoever runs the tool.
        if (const QString note = window.view()->leftOutNote(); !note.isEmpty())
            QTextStream(stderr) << note << '\n';
        app.exit(ok ? 0 : 1);
    });
    return app.exec();
}
