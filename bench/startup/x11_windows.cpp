#include "x11_windows.h"

#include <cstdlib>
#include <cstring>
#include <vector>
#include <xcb/xcb.h>

namespace {
xcb_atom_t internAtom(xcb_connection_t* c, const char* name) {
    auto* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}
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
    utf8String_ = internAtom(c, "UTF8_STRING");
}

X11Windows::~X11Windows() {
    if (connection_) xcb_disconnect(connection_);
}

bool X11Windows::viewableWindowTitled(const std::string& title) {
    auto* list = xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, root_, clientList_, XCB_ATOM_WINDOW, 0, 1024),
        nullptr);
    if (!list) return false;
    const auto* windows = static_cast<const xcb_window_t*>(xcb_get_property_value(list));
    const std::vector<xcb_window_t> clients(windows, windows + xcb_get_property_value_length(list) /
                                                                   sizeof(xcb_window_t));
    std::free(list);
    for (xcb_window_t window : clients) {
        auto* name = xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 0, window, netWmName_, utf8String_, 0, 256),
            nullptr);
        if (!name) continue;
        const std::string text(static_cast<const char*>(xcb_get_property_value(name)),
                               static_cast<std::size_t>(xcb_get_property_value_length(name)));
        std::free(name);
        if (text != title) continue;
        auto* attributes = xcb_get_window_attributes_reply(
            connection_, xcb_get_window_attributes(connection_, window), nullptr);
        const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(attributes);
        if (viewable) return true;
    }
    return false;
}
