#include "XftDpi.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace mg::x11 {

double XftDpiOf(const char* resources, std::size_t length)
{
    if (!resources) return 0.0;
    static constexpr char kName[] = "Xft.dpi:";
    const std::string text(resources, length);
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        if (text.compare(at, sizeof kName - 1, kName) == 0) {
            const std::string value = text.substr(at + sizeof kName - 1, end - at - (sizeof kName - 1));
            char* stop = nullptr;
            const double dpi = std::strtod(value.c_str(), &stop);
            if (stop == value.c_str() || !(dpi > 0.0 && dpi < 1000.0)) return 0.0;
            return dpi;
        }
        at = end + 1;
    }
    return 0.0;
}

double DisplayXftDpi()
{
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    double dpi = 0.0;
    if (!xcb_connection_has_error(c)) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        if (screen) {
            // The database is a few kilobytes; 64 K words is far more than any has.
            const xcb_get_property_cookie_t cookie =
                xcb_get_property(c, 0, screen->root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0, 65536);
            if (xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr)) {
                if (reply->format == 8)
                    dpi = XftDpiOf(static_cast<const char*>(xcb_get_property_value(reply)),
                                   static_cast<std::size_t>(xcb_get_property_value_length(reply)));
                std::free(reply);
            }
        }
    }
    xcb_disconnect(c);
    return dpi;
}

} // namespace mg::x11
