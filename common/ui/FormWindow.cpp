// The always-on-top switch and the caption translation hook.
#include "common/ui/FormWindow.h"

#include "common/Ini.h"
#include "common/NumberText.h"
#include "common/SettingBindings.h"

#include <QWidget>
#include <QWindow>

namespace common {

void SetFormTopmost(QWidget* window, bool onTop) {
    if (!window) return;
    Qt::WindowFlags flags = window->windowFlags();
    if (flags.testFlag(Qt::WindowStaysOnTopHint) != onTop) {
        flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
        if (window->isVisible() && window->windowHandle()) {
            // setWindowFlags would hide the window, which ends a modal dialog's exec() and may move
            // it: change the native window in place instead.
            window->overrideWindowFlags(flags);
            window->windowHandle()->setFlags(flags);
        } else {
            window->setWindowFlags(flags);
        }
    }
    if (!window->isVisible()) window->show();
}

void TranslateFormCaptions(QWidget*, int) {}

namespace {
constexpr int kTwipsPerPixel = 15;
QString sectionOrProgram(const QString& section) {
    return section.isEmpty() ? ProgramTitle() : section;
}
}  // namespace

void LoadFormPosition(QWidget* window, const QString& windowKey, const QString& section,
                      const QString& defaultTwips) {
    if (!window) return;
    const QString s = sectionOrProgram(section);
    int left = ParseInteger(GetIni(IniFilePath, s, windowKey + QStringLiteral("_Lewy"), defaultTwips));
    int top = ParseInteger(GetIni(IniFilePath, s, windowKey + QStringLiteral("_Gora"), defaultTwips));
    window->move(left / kTwipsPerPixel, top / kTwipsPerPixel);
}

void SaveFormPosition(QWidget* window, const QString& windowKey, const QString& section) {
    if (!window || window->isMinimized()) return;
    const QString s = sectionOrProgram(section);
    PutIni(IniFilePath, s, windowKey + QStringLiteral("_Lewy"),
           QString::number(window->x() * kTwipsPerPixel));
    PutIni(IniFilePath, s, windowKey + QStringLiteral("_Gora"),
           QString::number(window->y() * kTwipsPerPixel));
}

}  // namespace common
