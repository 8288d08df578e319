// Finding a process's windows by _NET_WM_PID and setting WM_TRANSIENT_FOR, through the display
// connection Qt already holds.
#include "cadhost/ProgramWindows.h"

#include <QGuiApplication>
#include <QWidget>
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
    const xcb_atom_t a = r ? r->atom : XCB_ATOM_NONE;
    std::free(r);
    return a;
}

// The 32-bit values of a window property (empty when absent).
std::vector<uint32_t> property(xcb_connection_t* c, xcb_window_t w, xcb_atom_t name, xcb_atom_t type) {
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

// The top-level client windows: the window manager's list, else the root's children.
std::vector<xcb_window_t> topLevels(xcb_connection_t* c, xcb_window_t root) {
    std::vector<uint32_t> managed = property(c, root, atom(c, "_NET_CLIENT_LIST"), XCB_ATOM_WINDOW);
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

xcb_window_t rootOf(xcb_connection_t* c) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    return xcb_setup_roots_iterator(setup).data->root;
}

// The top-level windows of the processes.
std::vector<xcb_window_t> windowsOf(xcb_connection_t* c, const QList<qint64>& pids) {
    const xcb_atom_t pidAtom = atom(c, "_NET_WM_PID");
    std::vector<xcb_window_t> out;
    for (xcb_window_t w : topLevels(c, rootOf(c))) {
        const std::vector<uint32_t> pid = property(c, w, pidAtom, XCB_ATOM_CARDINAL);
        if (!pid.empty() && pids.contains(qint64(pid[0]))) out.push_back(w);
    }
    return out;
}

}  // namespace

bool ProgramWindows::available() {
    return connection() != nullptr;
}

int ProgramWindows::keepAbove(const QList<qint64>& pids) {
    xcb_connection_t* c = connection();
    if (!c || pids.isEmpty() || !host_->isVisible()) return 0;
    const auto hostWindow = xcb_window_t(host_->winId());
    const xcb_atom_t above = atom(c, "_NET_WM_STATE_ABOVE");
    const xcb_atom_t state = atom(c, "_NET_WM_STATE");
    int made = 0;
    for (xcb_window_t w : windowsOf(c, pids)) {
        if (w == hostWindow) continue;
        // A window with an owner stays with it; one kept above everything stays so.
        if (!property(c, w, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW).empty()) continue;
        const std::vector<uint32_t> states = property(c, w, state, XCB_ATOM_ATOM);
        if (std::find(states.begin(), states.end(), above) != states.end()) continue;
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 32, 1,
                            &hostWindow);
        ++made;
    }
    if (made) xcb_flush(c);
    return made;
}

bool ProgramWindows::raise(qint64 pid) {
    xcb_connection_t* c = connection();
    if (!c) return false;
    const xcb_window_t root = rootOf(c);
    const xcb_atom_t active = atom(c, "_NET_ACTIVE_WINDOW");
    bool any = false;
    for (xcb_window_t w : windowsOf(c, {pid})) {
        // The window manager's way (source 2: a pager, which the manager obeys), and the plain
        // restacking for a display without one.
        xcb_client_message_event_t ev{};
        ev.response_type = XCB_CLIENT_MESSAGE;
        ev.format = 32;
        ev.window = w;
        ev.type = active;
        ev.data.data32[0] = 2;
        ev.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&ev));
        const uint32_t top = XCB_STACK_MODE_ABOVE;
        xcb_configure_window(c, w, XCB_CONFIG_WINDOW_STACK_MODE, &top);
        any = true;
    }
    xcb_flush(c);
    return any;
}

}  // namespace cadhost
