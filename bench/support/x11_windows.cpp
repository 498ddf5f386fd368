#include "x11_windows.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace {

xcb_atom_t internAtom(xcb_connection_t* c, const char* name) {
    auto* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

// A window property's value as 32-bit items; empty when the window has none.
std::vector<uint32_t> property32(xcb_connection_t* c, xcb_window_t window, xcb_atom_t name,
                                 xcb_atom_t type) {
    auto* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, name, type, 0, 1024), nullptr);
    if (!reply) return {};
    const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply));
    std::vector<uint32_t> items(values, values + xcb_get_property_value_length(reply) / 4);
    std::free(reply);
    return items;
}

constexpr uint32_t iconicState = 3; // ICCCM
constexpr uint32_t sourcePager = 2; // EWMH: a request on the user's behalf

} // namespace

X11Windows::X11Windows() {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return;
    }
    connection_ = c;
    root_ = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    clientList_ = internAtom(c, "_NET_CLIENT_LIST");
    netWmName_ = internAtom(c, "_NET_WM_NAME");
    netWmPid_ = internAtom(c, "_NET_WM_PID");
    utf8String_ = internAtom(c, "UTF8_STRING");
    changeState_ = internAtom(c, "WM_CHANGE_STATE");
    activeWindow_ = internAtom(c, "_NET_ACTIVE_WINDOW");
}

X11Windows::~X11Windows() {
    if (connection_) xcb_disconnect(connection_);
}

std::vector<unsigned> X11Windows::managedWindows() {
    const auto windows = property32(connection_, root_, clientList_, XCB_ATOM_WINDOW);
    return {windows.begin(), windows.end()};
}

std::string X11Windows::title(unsigned window) {
    auto* name = xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, netWmName_, utf8String_, 0, 256),
        nullptr);
    if (!name) return {};
    std::string text(static_cast<const char*>(xcb_get_property_value(name)),
                     static_cast<std::size_t>(xcb_get_property_value_length(name)));
    std::free(name);
    return text;
}

pid_t X11Windows::pidOf(unsigned window) {
    const auto pid = property32(connection_, window, netWmPid_, XCB_ATOM_CARDINAL);
    return pid.empty() ? 0 : static_cast<pid_t>(pid.front());
}

bool X11Windows::isViewable(unsigned window) {
    auto* attributes = xcb_get_window_attributes_reply(
        connection_, xcb_get_window_attributes(connection_, window), nullptr);
    const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(attributes);
    return viewable;
}

bool X11Windows::viewableWindowTitled(const std::string& wanted) {
    for (unsigned window : managedWindows())
        if (title(window) == wanted && isViewable(window)) return true;
    return false;
}

unsigned X11Windows::managedWindowOf(pid_t pid, const std::string& wanted) {
    for (unsigned window : managedWindows())
        if (pidOf(window) == pid && title(window) == wanted) return window;
    return 0;
}

void X11Windows::sendToRoot(unsigned window, unsigned type, unsigned first, unsigned second) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    message.data.data32[0] = first;
    message.data.data32[1] = second;
    xcb_send_event(connection_, 0, root_,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection_);
}

void X11Windows::iconify(unsigned window) {
    sendToRoot(window, changeState_, iconicState, 0);
}

void X11Windows::activate(unsigned window) {
    sendToRoot(window, activeWindow_, sourcePager, XCB_CURRENT_TIME);
}

std::optional<X11Windows::Point> X11Windows::trayIconOf(pid_t pid) {
    const auto managed = managedWindows();
    std::vector<xcb_window_t> pending{root_};
    while (!pending.empty()) {
        const xcb_window_t window = pending.back();
        pending.pop_back();
        auto* tree =
            xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window), nullptr);
        if (!tree) continue;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        pending.insert(pending.end(), children, children + xcb_query_tree_children_length(tree));
        std::free(tree);
        if (window == root_ || pidOf(window) != pid || !isViewable(window) ||
            std::find(managed.begin(), managed.end(), window) != managed.end())
            continue;
        auto* geometry =
            xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr);
        auto* origin = xcb_translate_coordinates_reply(
            connection_, xcb_translate_coordinates(connection_, window, root_, 0, 0), nullptr);
        std::optional<Point> centre;
        if (geometry && origin && geometry->width <= 64 && geometry->height <= 64)
            centre =
                Point{origin->dst_x + geometry->width / 2, origin->dst_y + geometry->height / 2};
        std::free(geometry);
        std::free(origin);
        if (centre) return centre;
    }
    return std::nullopt;
}
