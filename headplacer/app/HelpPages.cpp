// Help pages of headplacer's windows.
#include "headplacer/app/HelpPages.h"

#include "common/PathHelpers.h"
#include "common/ui/Help.h"
#include "headplacer/logic/Folders.h"
#include "headplacer/logic/HeadState.h"

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

bool ShowHelpPage(HelpWindow window, const QWidget* from) {
    const QString root = GetCityDataFolder(QStringLiteral("MORVANE_FOLDER"));
    lastPage = common::JoinPath(root, QStringLiteral("Tesmar\\Zasoby\\Pomoc\\") + HelpPageOf(window));
    return common::OpenHelpFileOrTell(from, lastPage);
}

QString LastHelpPage() {
    return lastPage;
}

}  // namespace headplacer
