#pragma once
// The X11 side of an open editor: a connection of its own, the child window
// in the host's window, the picture behind it and the value box. XCB rather
// than Xlib because a plug-in lives in someone else's process: XCB reports
// a protocol error or a lost connection as data, where Xlib's handlers are
// process-wide and its defaults end the process.
//
// Not thread-safe: one thread (the host's editor thread) uses it at a time.
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "editor/IRectangle.h"
#include "editor/TextEntry.h"
#include "raster/IBitmap.h"

namespace mg::x11 {

// How the window's visual stores a pixel: 32 bits, true colour.
struct PixelFormat {
    std::uint32_t redMask = 0xFF0000;
    std::uint32_t greenMask = 0x00FF00;
    std::uint32_t blueMask = 0x0000FF;
    bool msbFirst = false; // the server's image byte order
};

// Packs `count` 0xAARRGGBB pixels into `out` (4 bytes each) for the format.
void PackPixels(const std::uint32_t* pixels, int count, const PixelFormat& format, std::uint8_t* out);

class XcbWindow {
public:
    // Connects to the display that DISPLAY names and makes a visible child
    // of `parent` at (x, y) of width x height, showing `surface` (its
    // top-left part), with the title and class name given. Null when the
    // display, the parent or a usable visual is missing.
    static std::unique_ptr<XcbWindow> Open(std::uint32_t parent, int x, int y, int width, int height,
                                           const IBitmap* surface, const char* title, const char* className);
    // Destroys the window, waits until the server has done so, disconnects.
    ~XcbWindow();
    XcbWindow(const XcbWindow&) = delete;
    XcbWindow& operator=(const XcbWindow&) = delete;

    xcb_connection_t* Connection() const { return c_; }
    xcb_window_t Id() const { return window_; }
    xcb_window_t Parent() const { return parent_; }
    const xcb_screen_t& Screen() const { return *screen_; }
    // The connection broke (the server went away); nothing more will work.
    bool Broken() const { return xcb_connection_has_error(c_) != 0; }
    // The window was destroyed under us, with the host's window.
    bool Gone() const { return gone_; }
    void SetGone() { gone_ = true; }

    // Copies `area` of `surface` into the window's picture and shows it.
    void Show(const IBitmap& surface, const IRectangle& area);
    // Gives window and picture a new size; the host's window changes by as much.
    void Resize(int width, int height);
    // The window's top-left in `other`'s coordinates; false when unknown.
    bool OriginIn(xcb_window_t other, int& x, int& y) const;

    // The next queued event (the caller frees it), or null.
    xcb_generic_event_t* Poll() { return xcb_poll_for_event(c_); }
    void Flush() { xcb_flush(c_); }
    // The key's symbol in `column` (0 plain, 1 with shift), 0 when none.
    xcb_keysym_t Keysym(xcb_keycode_t code, int column);
    void KeyboardChanged(xcb_mapping_notify_event_t* event);
    // White in the window's visual (black is 0).
    std::uint32_t White() const { return format_.redMask | format_.greenMask | format_.blueMask; }

private:
    XcbWindow() = default;
    bool Create(std::uint32_t parent, int x, int y, int width, int height, const IBitmap* surface,
                const char* title, const char* className);
    bool ChooseVisual();
    bool MakePicture(int width, int height);

    xcb_connection_t* c_ = nullptr;
    const xcb_screen_t* screen_ = nullptr;
    xcb_visualid_t visual_ = 0;
    std::uint8_t depth_ = 0;
    xcb_colormap_t colormap_ = 0;
    PixelFormat format_;
    xcb_window_t parent_ = 0;
    xcb_window_t window_ = 0;
    xcb_pixmap_t picture_ = 0; // the window's background: the server repaints from it
    xcb_gcontext_t gc_ = 0;
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> rows_; // packed pixels on their way to the server
    xcb_key_symbols_t* keys_ = nullptr;
    bool gone_ = false;
};

// The value box: an entry line of the control's size, or a list of the
// parameter's value texts hanging from the control's centre. It only draws;
// what keys and clicks mean is the editor's business.
class XcbEntryBox {
public:
    // Makes the box in `editor`, takes the keyboard focus for it and
    // remembers where the focus was. A list when `items` is not empty.
    XcbEntryBox(XcbWindow& editor, const TextEntryPlan& plan, std::vector<std::string> items);
    // Gives the focus back when the box still has it, and destroys the box.
    ~XcbEntryBox();
    XcbEntryBox(const XcbEntryBox&) = delete;
    XcbEntryBox& operator=(const XcbEntryBox&) = delete;

    xcb_window_t Id() const { return window_; }
    bool IsList() const { return !items_.empty(); }
    int ItemCount() const { return static_cast<int>(items_.size()); }
    const char* Item(int i) const { return items_[static_cast<std::size_t>(i)].c_str(); }
    void TakeFocus();
    // An entry shows `text`, highlighted while `fresh`; a list highlights
    // row `selection`.
    void Draw(const char* text, bool fresh, int selection);
    // The list row at y in the box, or -1.
    int RowAt(int y) const;

private:
    XcbWindow& editor_;
    std::vector<std::string> items_;
    xcb_window_t window_ = 0;
    xcb_window_t previousFocus_ = XCB_NONE;
    xcb_font_t font_ = 0;
    xcb_gcontext_t ink_ = 0;   // black on white
    xcb_gcontext_t paper_ = 0; // white on black, for highlights
    int width_ = 0;
    int height_ = 0;
    int ascent_ = 10;
    int descent_ = 3;
    int charWidth_ = 6;
    int rowHeight_ = 17;
};

} // namespace mg::x11
