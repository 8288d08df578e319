// Finding a process's windows by _NET_WM_PID, moving and restacking them through the display
// connection Qt already holds (through the window manager's requests where one runs).
#include "cadhost/ProgramWindows.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QToolBar>
#include <QWidget>
#include <QWindow>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace cadhost {

namespace {

xcb_connection_t* connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return a;
}

// The 32-bit values of a window property (empty when absent).
std::vector<uint32_t> valuesOf(xcb_connection_t* c, xcb_window_t w, xcb_atom_t name, xcb_atom_t type) {
    std::vector<uint32_t> out;
    xcb_get_property_reply_t* r =
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, name, type, 0, 4096), nullptr);
    if (r && r->format == 32) {
        const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(r));
        out.assign(v, v + xcb_get_property_value_length(r) / 4);
    }
    std::free(r);
    return out;
}

// The top-level windows as the window manager lists them under `listName`, else the root's children
// (bottom up, as the server stacks them).
std::vector<xcb_window_t> listedOrChildren(xcb_connection_t* c, xcb_window_t root, const char* listName) {
    std::vector<uint32_t> managed = valuesOf(c, root, atom(c, listName), XCB_ATOM_WINDOW);
    if (!managed.empty()) return {managed.begin(), managed.end()};
    std::vector<xcb_window_t> out;
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr);
    if (tree) {
        const xcb_window_t* children = xcb_query_tree_children(tree);
        out.assign(children, children + xcb_query_tree_children_length(tree));
    }
    std::free(tree);
    return out;
}

// The top-level client windows.
std::vector<xcb_window_t> topLevels(xcb_connection_t* c, xcb_window_t root) {
    return listedOrChildren(c, root, "_NET_CLIENT_LIST");
}

xcb_window_t rootOf(xcb_connection_t* c) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    return xcb_setup_roots_iterator(setup).data->root;
}

struct ProcessWindow {
    xcb_window_t window;
    qint64 pid;
};

// The top-level windows of the processes.
std::vector<ProcessWindow> windowsOf(xcb_connection_t* c, const QList<qint64>& pids) {
    const xcb_atom_t pidAtom = atom(c, "_NET_WM_PID");
    std::vector<ProcessWindow> out;
    for (xcb_window_t w : topLevels(c, rootOf(c))) {
        const std::vector<uint32_t> pid = valuesOf(c, w, pidAtom, XCB_ATOM_CARDINAL);
        if (!pid.empty() && pids.contains(qint64(pid[0]))) out.push_back({w, qint64(pid[0])});
    }
    return out;
}

bool managed(xcb_connection_t* c, xcb_window_t root) {
    return !valuesOf(c, root, atom(c, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW).empty();
}

// The top-level windows from the bottom up.
std::vector<xcb_window_t> stacking(xcb_connection_t* c, xcb_window_t root) {
    return listedOrChildren(c, root, "_NET_CLIENT_LIST_STACKING");
}

bool viewable(xcb_connection_t* c, xcb_window_t w) {
    xcb_get_window_attributes_reply_t* r = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr);
    const bool shown = r && r->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(r);
    return shown;
}

// The window with its manager's frame, in root coordinates (empty when it is gone).
QRect frameOf(xcb_connection_t* c, xcb_window_t root, xcb_window_t w) {
    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr);
    xcb_translate_coordinates_reply_t* t =
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, w, root, 0, 0), nullptr);
    QRect r;
    if (g && t) r = QRect(t->dst_x, t->dst_y, g->width, g->height);
    std::free(g);
    std::free(t);
    const std::vector<uint32_t> e = valuesOf(c, w, atom(c, "_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL);
    if (!r.isEmpty() && e.size() == 4) r.adjust(-int(e[0]), -int(e[2]), int(e[1]), int(e[3]));
    return r;
}

// A request to the window manager about a client window (source 2: a pager, which it obeys).
void tellManager(xcb_connection_t* c, xcb_window_t root, xcb_window_t w, const char* type,
                 std::initializer_list<uint32_t> data) {
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = w;
    ev.type = atom(c, type);
    int i = 0;
    for (uint32_t d : data) ev.data.data32[i++] = d;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&ev));
}

// Where a window of `size` at `frame`'s place goes: onto the screen, then below the rows kept
// clear above the host's middle (`top`) and above those below it (`bottom`) when it covers one of
// them, between them where it fits; on the screen again when it does not (the top rows win).
QRect placed(QRect frame, const QRect& screen, const QList<QRect>& rows, int top, int bottom) {
    auto inside = [&screen](QRect& r) {
        r.moveLeft(std::max(screen.left(), std::min(r.left(), screen.right() + 1 - r.width())));
        r.moveTop(std::max(screen.top(), std::min(r.top(), screen.bottom() + 1 - r.height())));
    };
    if (!screen.isEmpty()) inside(frame);
    if (std::any_of(rows.begin(), rows.end(), [&](const QRect& r) { return r.intersects(frame); })) {
        frame.moveTop(frame.height() <= bottom - top ? std::clamp(frame.y(), top, bottom - frame.height()) : top);
        if (!screen.isEmpty() && frame.bottom() > screen.bottom())
            frame.moveTop(std::max(screen.top(), screen.bottom() + 1 - frame.height()));
    }
    return frame;
}

}  // namespace

ProgramWindows::ProgramWindows(QWidget* host) : host_(host) {
    if (available()) qApp->installEventFilter(this);
}

bool ProgramWindows::available() {
    return connection() != nullptr;
}

bool ProgramWindows::isHostDialog(const QWidget* window) const {
    if (!window || !window->isWindow() || window == host_) return false;
    const Qt::WindowType type = window->windowType();
    if (type != Qt::Dialog && type != Qt::Sheet && !(type == Qt::Window && window->isModal())) return false;
    if (!window->parentWidget()) return window->isModal();
    for (const QWidget* owner = window->parentWidget(); owner; owner = owner->window()->parentWidget())
        if (owner->window() == host_) return true;
    return false;
}

bool ProgramWindows::eventFilter(QObject* watched, QEvent* event) {
    // Shown before the window is mapped: the window manager takes it above everything from the
    // start. The widget's flags are changed in place, as setWindowFlags would hide it again.
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (w->isWindow() && !w->windowFlags().testFlag(Qt::WindowStaysOnTopHint) && isHostDialog(w) &&
            w->windowHandle()) {
            const Qt::WindowFlags flags = w->windowFlags() | Qt::WindowStaysOnTopHint;
            w->overrideWindowFlags(flags);
            w->windowHandle()->setFlags(flags);
        }
    }
    return QObject::eventFilter(watched, event);
}

void ProgramWindows::setKeptClear(const QList<QWidget*>& widgets) {
    keptClear_.clear();
    for (QWidget* w : widgets) keptClear_ << w;
}

int ProgramWindows::keepAbove(const QList<qint64>& pids) {
    xcb_connection_t* c = connection();
    if (!c || pids.isEmpty() || !host_->isVisible() || host_->isMinimized()) return 0;
    const xcb_window_t root = rootOf(c);
    const auto hostWindow = xcb_window_t(host_->winId());
    const xcb_atom_t above = atom(c, "_NET_WM_STATE_ABOVE");
    const xcb_atom_t state = atom(c, "_NET_WM_STATE");
    const bool withManager = managed(c, root);
    const std::vector<xcb_window_t> order = stacking(c, root);
    auto level = [&order](xcb_window_t w) { return int(std::find(order.begin(), order.end(), w) - order.begin()); };
    const int hostLevel = level(hostWindow);

    // The rows kept clear, in the display's pixels, and the room between those above the host's
    // middle and those below it. The toolbars docked along the top or bottom count as rows.
    const qreal scale = host_->devicePixelRatioF();
    const QRect host = host_->frameGeometry();
    QList<QWidget*> clear;
    for (const QPointer<QWidget>& w : keptClear_)
        if (w) clear << w;
    for (QToolBar* bar : host_->findChildren<QToolBar*>())
        if (bar->orientation() == Qt::Horizontal && !bar->isFloating()) clear << bar;
    QList<QRect> rows;
    int top = host.top(), bottom = host.bottom() + 1;
    for (QWidget* w : clear) {
        if (!w->isVisible()) continue;
        const int y0 = w->mapToGlobal(QPoint(0, 0)).y(), y1 = y0 + w->height();
        rows << QRect(QPoint(int(host.left() * scale), int(y0 * scale)),
                      QPoint(int((host.right() + 1) * scale) - 1, int(y1 * scale) - 1));
        if (y0 + y1 < 2 * host.center().y())
            top = std::max(top, y1);
        else
            bottom = std::min(bottom, y0);
    }
    top = int(top * scale);
    bottom = int(bottom * scale);

    std::vector<xcb_window_t> programs;
    std::set<std::pair<qint64, std::uint32_t>> present;
    int made = 0;
    for (const auto& [w, pid] : windowsOf(c, pids)) {
        if (w == hostWindow) continue;
        present.insert({pid, w});
        if (!viewable(c, w)) continue;
        // A window with an owner stays with it. One kept above everything (hatcher's window makes
        // itself so whenever it is activated) stays so: it is placed clear of the bars like the others,
        // but never restacked.
        if (!valuesOf(c, w, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW).empty()) continue;
        const std::vector<uint32_t> states = valuesOf(c, w, state, XCB_ATOM_ATOM);
        if (std::find(states.begin(), states.end(), above) == states.end()) programs.push_back(w);
        if (!seen_.insert({pid, w}).second) continue;
        ++made;
        const QRect frame = frameOf(c, root, w);
        if (frame.isEmpty()) continue;
        const QScreen* screen = QGuiApplication::screenAt(QPoint(int(frame.center().x() / scale), int(frame.center().y() / scale)));
        if (!screen) screen = host_->screen();
        QRect area;
        if (screen) {
            const QRect logical = screen->availableGeometry();
            area = QRect(QPoint(int(logical.left() * scale), int(logical.top() * scale)),
                         QSize(int(logical.width() * scale), int(logical.height() * scale)));
        }
        const QRect to = placed(frame, area, rows, top, bottom);
        if (to.topLeft() == frame.topLeft()) continue;
        if (withManager) {
            // North-west gravity: the frame's corner goes to the point.
            tellManager(c, root, w, "_NET_MOVERESIZE_WINDOW", {1u | 1u << 8 | 1u << 9 | 2u << 12, uint32_t(to.x()), uint32_t(to.y())});
        } else {
            const uint32_t at[] = {uint32_t(to.x()), uint32_t(to.y())};
            xcb_configure_window(c, w, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, at);
        }
    }
    // A window closed (or withdrawn) is placed again when it opens, whatever id it then has.
    std::erase_if(seen_, [&present](const auto& known) { return !present.contains(known); });
    // The highest first, each put just above the host: their own order stays.
    std::sort(programs.begin(), programs.end(), [&](xcb_window_t a, xcb_window_t b) { return level(a) > level(b); });
    for (xcb_window_t w : programs) {
        if (hostLevel >= int(order.size()) || level(w) > hostLevel) continue;
        if (withManager) {
            tellManager(c, root, w, "_NET_RESTACK_WINDOW", {2u, hostWindow, uint32_t(XCB_STACK_MODE_ABOVE)});
        } else {
            const uint32_t values[] = {hostWindow, XCB_STACK_MODE_ABOVE};
            xcb_configure_window(c, w, XCB_CONFIG_WINDOW_SIBLING | XCB_CONFIG_WINDOW_STACK_MODE, values);
        }
    }
    xcb_flush(c);
    return made;
}

bool ProgramWindows::raise(qint64 pid) {
    xcb_connection_t* c = connection();
    if (!c) return false;
    const xcb_window_t root = rootOf(c);
    bool any = false;
    for (const ProcessWindow& pw : windowsOf(c, {pid})) {
        const xcb_window_t w = pw.window;
        // The window manager's way, and the plain restacking for a display without one.
        tellManager(c, root, w, "_NET_ACTIVE_WINDOW", {2u, uint32_t(XCB_CURRENT_TIME)});
        const uint32_t top = XCB_STACK_MODE_ABOVE;
        xcb_configure_window(c, w, XCB_CONFIG_WINDOW_STACK_MODE, &top);
        any = true;
    }
    xcb_flush(c);
    return any;
}

}  // namespace cadhost
