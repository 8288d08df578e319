// The wheel hook as an application event filter, and the grid scrolling it drives.
#include "common/ui/MouseWheelHook.h"

#include "platform/ui/FlexGrid.h"

#include <QApplication>
#include <QPointer>
#include <QWheelEvent>
#include <QWidget>
#include <algorithm>

namespace common {

namespace {

constexpr int kNotch = 120;

class WheelFilter : public QObject {
public:
    QPointer<QWidget> window;
    int remainder = 0;  // the part of a notch fine-grained wheels have turned so far
    // The last wheel seen: a wheel a control ignores is offered again to its parents.
    qulonglong lastTimestamp = 0;
    QPoint lastDelta;
    QPointF lastGlobal;
    bool haveLast = false;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Wheel || !window) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != window) return false;
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (haveLast && wheel->timestamp() == lastTimestamp && wheel->angleDelta() == lastDelta &&
            wheel->globalPosition() == lastGlobal)
            return false;  // the same turn passed on to a parent
        haveLast = true;
        lastTimestamp = wheel->timestamp();
        lastDelta = wheel->angleDelta();
        lastGlobal = wheel->globalPosition();

        remainder += wheel->angleDelta().y();
        int notches = remainder / kNotch;
        remainder -= notches * kNotch;
        int keys = 0;
        if (wheel->buttons() & Qt::LeftButton) keys |= 1;
        if (wheel->buttons() & Qt::RightButton) keys |= 2;
        if (wheel->modifiers() & Qt::ShiftModifier) keys |= 4;
        if (wheel->modifiers() & Qt::ControlModifier) keys |= 8;
        if (wheel->buttons() & Qt::MiddleButton) keys |= 16;
        QPoint global = wheel->globalPosition().toPoint();
        bool handled = false;
        QMetaObject::invokeMethod(window.data(), "MouseWheel", Qt::DirectConnection,
                                  Q_RETURN_ARG(bool, handled), Q_ARG(int, keys), Q_ARG(int, notches* kNotch),
                                  Q_ARG(int, global.x()), Q_ARG(int, global.y()));
        return handled;
    }
};

WheelFilter* filter = nullptr;

}  // namespace

void HookMouseWheel(QWidget* window) {
    if (!window || !qApp) return;
    if (!filter) {
        filter = new WheelFilter;
        filter->setParent(qApp);
        qApp->installEventFilter(filter);
    }
    filter->window = window;
    filter->remainder = 0;
    filter->haveLast = false;
}

void UnhookMouseWheel(QWidget* window) {
    if (filter && filter->window == window) filter->window = nullptr;
}

bool IsMouseWheelHooked(const QWidget* window) {
    return filter && window && filter->window == window;
}

void ScrollGridByWheel(ui::FlexGrid* grid, int, int delta, int, int) {
    if (!grid || delta == 0) return;
    int notches = std::max(1, std::abs(delta) / kNotch);
    int first = grid->FixedRows();
    int top = grid->TopRow();
    if (delta < 0) {
        top = std::min(top + 3 * notches, grid->Rows() - 1);
    } else {
        top = std::max(top - 3 * notches, first);
    }
    grid->setTopRow(top);
}

}  // namespace common
