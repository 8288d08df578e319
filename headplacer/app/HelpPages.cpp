// Help pages of headplacer's windows.
#include "headplacer/app/HelpPages.h"

#include "common/PathHelpers.h"
#include "headplacer/logic/Folders.h"
#include "headplacer/logic/HeadState.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>

namespace headplacer {

namespace {
QString lastPage;
}  // namespace

QString HelpPageOf(HelpWindow window) {
    switch (window) {
        case HelpWindow::Head:
            return StartedBySibling ? QStringLiteral("10256.html")
                                    : QStringLiteral("headplacer-sygnalizator.html");
        case HelpWindow::Settings:
            return StartedBySibling ? QStringLiteral("10332.html") : QStringLiteral("10012.html");
        case HelpWindow::Inventory:
            return QStringLiteral("headplacer-inwentaryzacja.html");
        case HelpWindow::Detector:
            return StartedBySibling ? QStringLiteral("10239.html")
                                    : QStringLiteral("headplacer-detektory.html");
        case HelpWindow::DetectorSettings:
            return QStringLiteral("headplacer-opisy-detektorow.html");
    }
    return QStringLiteral("index.html");
}

void ShowHelpPage(HelpWindow window) {
    const QString root = GetCityDataFolder(QStringLiteral("MORVANE_FOLDER"));
    lastPage = common::JoinPath(root, QStringLiteral("Tesmar\\Zasoby\\Pomoc\\") + HelpPageOf(window));
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        QDesktopServices::openUrl(QUrl::fromLocalFile(lastPage));
}

QString LastHelpPage() {
    return lastPage;
}

}  // namespace headplacer
