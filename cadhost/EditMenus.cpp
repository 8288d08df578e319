// The drawing and editing commands as menu entries and toolbar buttons with small drawn pictures.
#include "cadhost/EditMenus.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QToolBar>

namespace cadhost {

namespace {

struct Entry {
    const char* label;    // with the menu's accelerator
    const char* command;  // the typed name
};

const Entry DrawEntries[] = {{"&Linia", "_line"},   {"&Polilinia", "_pline"}, {"Ł&uk", "_arc"},
                             {"&Okrąg", "_circle"}, {"&Tekst", "_text"},      {"Tekst &wielowierszowy", "_mtext"}};
const Entry ModifyEntries[] = {{"&Przesuń", "_move"},        {"&Kopiuj", "_copy"},      {"&Obróć", "_rotate"},
                               {"&Skaluj", "_scale"},        {"&Usuń", "_erase"},       {"&Edytuj tekst", "_ddedit"},
                               {"&Właściwości", "_properties"}};

// A 24-pixel picture of what the command does, drawn in the toolbar's own colours.
QIcon pictureOf(const QString& command) {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 60, 120), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QFont f = p.font();
    f.setPixelSize(13);
    f.setBold(true);
    p.setFont(f);
    if (command == QLatin1String("_line")) {
        p.drawLine(4, 20, 20, 4);
    } else if (command == QLatin1String("_pline")) {
        p.drawPolyline(QPolygonF{QPointF(3, 19), QPointF(9, 6), QPointF(15, 17), QPointF(21, 5)});
    } else if (command == QLatin1String("_arc")) {
        p.drawArc(QRectF(3, 6, 18, 22), 20 * 16, 140 * 16);
    } else if (command == QLatin1String("_circle")) {
        p.drawEllipse(QRectF(4, 4, 16, 16));
    } else if (command == QLatin1String("_text")) {
        p.drawText(QRectF(0, 0, 24, 24), Qt::AlignCenter, QStringLiteral("A"));
    } else if (command == QLatin1String("_mtext")) {
        p.drawText(QRectF(0, 0, 14, 24), Qt::AlignCenter, QStringLiteral("A"));
        for (int y : {8, 12, 16}) p.drawLine(15, y, 21, y);
    } else if (command == QLatin1String("_move")) {
        p.drawLine(12, 3, 12, 21);
        p.drawLine(3, 12, 21, 12);
        p.drawPolyline(QPolygonF{QPointF(17, 8), QPointF(21, 12), QPointF(17, 16)});
        p.drawPolyline(QPolygonF{QPointF(8, 7), QPointF(12, 3), QPointF(16, 7)});
    } else if (command == QLatin1String("_copy")) {
        p.drawRect(QRectF(3, 3, 11, 11));
        p.drawRect(QRectF(10, 10, 11, 11));
    } else if (command == QLatin1String("_rotate")) {
        p.drawArc(QRectF(4, 4, 16, 16), 90 * 16, 270 * 16);
        p.drawPolyline(QPolygonF{QPointF(9, 1), QPointF(12, 4), QPointF(9, 7)});
    } else if (command == QLatin1String("_scale")) {
        p.drawRect(QRectF(3, 11, 10, 10));
        p.drawRect(QRectF(3, 3, 18, 18));
    } else if (command == QLatin1String("_erase")) {
        p.setPen(QPen(QColor(170, 30, 30), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(5, 5, 19, 19);
        p.drawLine(19, 5, 5, 19);
    } else if (command == QLatin1String("_ddedit")) {
        p.drawText(QRectF(0, 0, 16, 24), Qt::AlignCenter, QStringLiteral("A"));
        p.drawLine(19, 4, 19, 20);
    } else {
        for (int y : {6, 12, 18}) {
            p.drawPoint(5, y);
            p.drawLine(9, y, 20, y);
        }
    }
    return QIcon(pm);
}

QMenu* addMenu(QMainWindow* window, QAction* before, const QString& title, const char* name, QToolBar* bar,
               const Entry* begin, const Entry* end, const std::function<void(const QString&)>& run) {
    auto* menu = new QMenu(title, window);
    menu->setObjectName(QLatin1String(name));
    window->menuBar()->insertMenu(before, menu);
    for (const Entry* e = begin; e != end; ++e) {
        const QString label = QString::fromUtf8(e->label);
        const QString command = QString::fromLatin1(e->command);
        // After the tab, in the column of shortcuts: the name the command is typed by.
        QAction* a = menu->addAction(pictureOf(command), label + QLatin1Char('\t') + command);
        QString plain = label;
        plain.remove(QLatin1Char('&'));
        a->setIconText(plain);
        a->setToolTip(QStringLiteral("%1 (%2)").arg(plain, command));
        a->setData(command);
        QObject::connect(a, &QAction::triggered, window, [run, command] { run(command); });
        bar->addAction(a);
    }
    return menu;
}

}  // namespace

void AddCommandMenus(QMainWindow* window, QAction* before, const std::function<void(const QString&)>& run) {
    auto* bar = new QToolBar(QStringLiteral("Rysuj i zmień"), window);
    bar->setObjectName(QStringLiteral("tbCommands"));
    bar->setIconSize(QSize(24, 24));
    window->addToolBar(Qt::TopToolBarArea, bar);
    addMenu(window, before, QStringLiteral("&Rysuj"), "mnuRysuj", bar, std::begin(DrawEntries),
            std::end(DrawEntries), run);
    bar->addSeparator();
    addMenu(window, before, QStringLiteral("&Zmiana"), "mnuZmiana", bar, std::begin(ModifyEntries),
            std::end(ModifyEntries), run);
}

}  // namespace cadhost
