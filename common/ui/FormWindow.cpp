// The always-on-top switch and the caption translation hook.
#include "common/ui/FormWindow.h"

#include "common/Ini.h"
#include "common/NumberText.h"
#include "common/SettingBindings.h"

#include <QLayout>
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
    // The stored point is the frame's corner. A window sized while it is being shown (to its
    // contents, or up to its layout's minimum) is resized after its native window exists and
    // before the manager has framed it, and Qt then places its client area at the point: it would
    // open one title bar higher at every start. Sized now, it is shown at its size and the point
    // stays the frame's.
    if (!window->testAttribute(Qt::WA_WState_Created)) {
        if (!window->testAttribute(Qt::WA_Resized))
            window->adjustSize();
        else if (window->layout())
            window->layout()->activate();
    }
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
