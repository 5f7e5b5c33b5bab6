#include "EditorWindow.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "Failure.h"
#include "HostedPlugin.h"
#include "PluginInstance.h"

namespace mg::live {
namespace {

using host::Failure;

// Replies and events from xcb are malloc'ed.
template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <class T>
Reply<T> Take(T* p)
{
    return Reply<T>(p, &std::free);
}

// Used when a plug-in cannot tell its editor's size before it opens.
constexpr int kFallbackWidth = 400;
constexpr int kFallbackHeight = 300;

} // namespace

EditorWindow::EditorWindow(host::HostedPlugin& plugin, host::HostContext& host, const std::string& title,
                           int scalePercent)
    : plugin_(plugin), host_(host)
{
    c_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c_)) {
        xcb_disconnect(c_);
        c_ = nullptr;
        throw Failure("cannot open the X display");
    }
    if (scalePercent > 0) plugin_.SetEditorScale(scalePercent / 100.0);
    int width = kFallbackWidth;
    int height = kFallbackHeight;
    if (!plugin_.EditorSize(width, height)) {
        width = kFallbackWidth;
        height = kFallbackHeight;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
    screenWidth_ = screen->width_in_pixels;
    screenHeight_ = screen->height_in_pixels;
    window_ = xcb_generate_id(c_);
    const std::uint32_t values[] = {screen->black_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(c_, XCB_COPY_FROM_PARENT, window_, screen->root, 0, 0, static_cast<std::uint16_t>(width),
                      static_cast<std::uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);

    SetProperty(XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, title.data(), title.size());
    SetProperty(Atom("_NET_WM_NAME"), Atom("UTF8_STRING"), 8, title.data(), title.size());
    static constexpr char kClass[] = "mg-live\0mg-live";
    SetProperty(XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, kClass, sizeof kClass);
    deleteWindow_ = Atom("WM_DELETE_WINDOW");
    SetProperty(Atom("WM_PROTOCOLS"), XCB_ATOM_ATOM, 32, &deleteWindow_, 1);
    SetFixedSize(width, height);

    xcb_map_window(c_, window_);
    xcb_flush(c_);
    // From here on: a plug-in may ask for a size while its editor opens.
    host_.SetEditorFrame(this);
    if (!plugin_.OpenEditor(reinterpret_cast<void*>(static_cast<std::uintptr_t>(window_)))) {
        // The formats with an editor object of their own made it for the
        // size asked above; it goes now. A VST 2.4 editor that did not open
        // is not closed.
        if (!plugin_.AsVst2())
            plugin_.CloseEditor();
        host_.SetEditorFrame(nullptr);
        xcb_destroy_window(c_, window_);
        xcb_disconnect(c_);
        c_ = nullptr;
        throw Failure("the plug-in's editor did not open");
    }
    editorOpen_ = true;
}

EditorWindow::~EditorWindow()
{
    if (editorOpen_)
        plugin_.CloseEditor();
    host_.SetEditorFrame(nullptr);
    if (!c_)
        return;
    if (!destroyed_)
        xcb_destroy_window(c_, window_);
    xcb_flush(c_);
    xcb_disconnect(c_);
}

xcb_atom_t EditorWindow::Atom(const char* name)
{
    const auto reply = Take(xcb_intern_atom_reply(
        c_, xcb_intern_atom(c_, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

void EditorWindow::SetProperty(xcb_atom_t property, xcb_atom_t type, int format, const void* data,
                               std::size_t count)
{
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, window_, property, type, static_cast<std::uint8_t>(format),
                        static_cast<std::uint32_t>(count), data);
}

bool EditorWindow::HandleEvents()
{
    bool open = true;
    while (auto event = Take(xcb_poll_for_event(c_))) {
        switch (event->response_type & 0x7f) {
        case XCB_CLIENT_MESSAGE: {
            const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event.get());
            if (message->format == 32 && message->data.data32[0] == deleteWindow_)
                open = false;
            break;
        }
        case XCB_DESTROY_NOTIFY:
            if (reinterpret_cast<const xcb_destroy_notify_event_t*>(event.get())->window == window_) {
                destroyed_ = true;
                open = false;
            }
            break;
        default:
            break;
        }
    }
    return open && !xcb_connection_has_error(c_);
}

// WM_NORMAL_HINTS: the editor has one size at a time, so the window keeps it.
void EditorWindow::SetFixedSize(int width, int height)
{
    constexpr std::uint32_t kMinSize = 16, kMaxSize = 32;
    std::uint32_t hints[18] = {kMinSize | kMaxSize};
    hints[5] = hints[7] = static_cast<std::uint32_t>(width);
    hints[6] = hints[8] = static_cast<std::uint32_t>(height);
    SetProperty(XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, hints, 18);
}

bool EditorWindow::Resize(int width, int height)
{
    if (width <= 0 || height <= 0 || destroyed_)
        return false;
    width = std::min(width, screenWidth_);
    height = std::min(height, screenHeight_);
    SetFixedSize(width, height);
    const std::uint32_t size[] = {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
    xcb_configure_window(c_, window_, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
    xcb_flush(c_);
    return true;
}

void EditorWindow::Idle()
{
    plugin_.IdleEditor();
}

} // namespace mg::live
