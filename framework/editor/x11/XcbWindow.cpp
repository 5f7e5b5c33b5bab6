#include "XcbWindow.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "Freed.h"

namespace mg::x11 {

namespace {

// True when the request went through; forgets its error otherwise.
bool Succeeded(xcb_connection_t* c, xcb_void_cookie_t cookie)
{
    Freed<xcb_generic_error_t> error(xcb_request_check(c, cookie));
    return !error;
}

// Waits until the server has handled everything sent so far.
void Sync(xcb_connection_t* c)
{
    Freed<xcb_get_input_focus_reply_t> reply(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

int BitsPerPixel(const xcb_setup_t* setup, std::uint8_t depth)
{
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it))
        if (it.data->depth == depth) return it.data->bits_per_pixel;
    return 0;
}

// Where a channel's mask sits: its lowest bit and its width.
struct Channel {
    int shift = 0;
    int bits = 0;
};

Channel ChannelOf(std::uint32_t mask)
{
    Channel ch;
    if (mask == 0) return ch;
    while (!(mask & 1u)) {
        mask >>= 1;
        ++ch.shift;
    }
    while (mask & 1u) {
        mask >>= 1;
        ++ch.bits;
    }
    return ch;
}

std::uint32_t Scale(std::uint32_t value8, const Channel& ch)
{
    if (ch.bits == 0) return 0;
    const std::uint32_t v = ch.bits >= 8 ? value8 << (ch.bits - 8) : value8 >> (8 - ch.bits);
    return v << ch.shift;
}

bool HostIsLittleEndian()
{
    const std::uint32_t probe = 1;
    unsigned char first = 0;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

} // namespace

void PackPixels(const std::uint32_t* pixels, int count, const PixelFormat& format, std::uint8_t* out)
{
    if (count <= 0) return;
    const bool native = format.redMask == 0xFF0000 && format.greenMask == 0x00FF00 && format.blueMask == 0x0000FF &&
                        format.msbFirst != HostIsLittleEndian();
    if (native) {
        // The unused top byte (alpha here) is padding to the server.
        std::memcpy(out, pixels, static_cast<std::size_t>(count) * 4);
        return;
    }
    const Channel r = ChannelOf(format.redMask), g = ChannelOf(format.greenMask), b = ChannelOf(format.blueMask);
    for (int i = 0; i < count; ++i) {
        const std::uint32_t p = pixels[i];
        const std::uint32_t v = Scale((p >> 16) & 0xFF, r) | Scale((p >> 8) & 0xFF, g) | Scale(p & 0xFF, b);
        std::uint8_t* o = out + 4 * i;
        if (format.msbFirst) {
            o[0] = static_cast<std::uint8_t>(v >> 24);
            o[1] = static_cast<std::uint8_t>(v >> 16);
            o[2] = static_cast<std::uint8_t>(v >> 8);
            o[3] = static_cast<std::uint8_t>(v);
        } else {
            o[0] = static_cast<std::uint8_t>(v);
            o[1] = static_cast<std::uint8_t>(v >> 8);
            o[2] = static_cast<std::uint8_t>(v >> 16);
            o[3] = static_cast<std::uint8_t>(v >> 24);
        }
    }
}

// ---- editor window ---------------------------------------------------------------

std::unique_ptr<XcbWindow> XcbWindow::Open(std::uint32_t parent, int x, int y, int width, int height,
                                           const IBitmap* surface, const char* title, const char* className)
{
    if (parent == 0 || width <= 0 || height <= 0 || width > 0x7FFF || height > 0x7FFF) return nullptr;
    std::unique_ptr<XcbWindow> window(new XcbWindow);
    if (!window->Create(parent, x, y, width, height, surface, title, className)) return nullptr;
    return window;
}

bool XcbWindow::Create(std::uint32_t parent, int x, int y, int width, int height, const IBitmap* surface,
                       const char* title, const char* className)
{
    c_ = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c_)) return false;

    // The host's window decides the screen.
    xcb_generic_error_t* error = nullptr;
    Freed<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c_, xcb_get_geometry(c_, parent), &error));
    std::free(error);
    if (!geometry) return false;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(c_)); it.rem; xcb_screen_next(&it))
        if (it.data->root == geometry->root) screen_ = it.data;
    if (!screen_ || !ChooseVisual()) return false;

    parent_ = parent;
    if (!MakePicture(width, height)) return false;
    gc_ = xcb_generate_id(c_);
    const std::uint32_t gcValues[] = {0, 0};
    xcb_create_gc(c_, gc_, picture_, XCB_GC_FOREGROUND | XCB_GC_GRAPHICS_EXPOSURES, gcValues);
    const xcb_rectangle_t all{0, 0, static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height)};
    xcb_poly_fill_rectangle(c_, picture_, gc_, 1, &all);
    if (surface && surface->Pixels()) Show(*surface, IRectangle(0, 0, width, height));

    window_ = xcb_generate_id(c_);
    // Value order follows the mask bits.
    const std::uint32_t values[] = {
        picture_,
        0,
        XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION |
            XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_LEAVE_WINDOW | XCB_EVENT_MASK_STRUCTURE_NOTIFY,
        colormap_};
    const xcb_void_cookie_t created = xcb_create_window_checked(
        c_, depth_, window_, parent, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
        static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
        visual_, XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK | XCB_CW_COLORMAP, values);
    if (!Succeeded(c_, created)) {
        window_ = 0;
        return false;
    }
    if (title)
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            static_cast<std::uint32_t>(std::strlen(title)), title);
    if (className) {
        // Instance and class, each with its terminator.
        std::string both = std::string(className) + '\0' + className + '\0';
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                            static_cast<std::uint32_t>(both.size()), both.data());
    }
    if (!Succeeded(c_, xcb_map_window_checked(c_, window_))) return false;
    keys_ = xcb_key_symbols_alloc(c_);
    return keys_ != nullptr;
}

bool XcbWindow::ChooseVisual()
{
    const xcb_setup_t* setup = xcb_get_setup(c_);
    format_.msbFirst = setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
    // The screen's own visual when it will do, else any true-colour one of
    // 24 bits (with a colour map of its own).
    for (int pass = 0; pass < 2; ++pass) {
        for (auto d = xcb_screen_allowed_depths_iterator(screen_); d.rem; xcb_depth_next(&d)) {
            if (BitsPerPixel(setup, d.data->depth) != 32) continue;
            for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v)) {
                const xcb_visualtype_t& visual = *v.data;
                const bool own = visual.visual_id == screen_->root_visual;
                if (pass == 0 ? !own : d.data->depth != 24) continue;
                if (visual._class != XCB_VISUAL_CLASS_TRUE_COLOR || !visual.red_mask || !visual.green_mask ||
                    !visual.blue_mask)
                    continue;
                visual_ = visual.visual_id;
                depth_ = d.data->depth;
                format_.redMask = visual.red_mask;
                format_.greenMask = visual.green_mask;
                format_.blueMask = visual.blue_mask;
                if (own) {
                    colormap_ = screen_->default_colormap;
                } else {
                    colormap_ = xcb_generate_id(c_);
                    xcb_create_colormap(c_, XCB_COLORMAP_ALLOC_NONE, colormap_, screen_->root, visual_);
                }
                return true;
            }
        }
    }
    return false;
}

bool XcbWindow::MakePicture(int width, int height)
{
    const xcb_pixmap_t picture = xcb_generate_id(c_);
    if (!Succeeded(c_, xcb_create_pixmap_checked(c_, depth_, picture, screen_->root,
                                                 static_cast<std::uint16_t>(width),
                                                 static_cast<std::uint16_t>(height))))
        return false;
    if (picture_) xcb_free_pixmap(c_, picture_);
    picture_ = picture;
    width_ = width;
    height_ = height;
    return true;
}

XcbWindow::~XcbWindow()
{
    if (!c_) return;
    if (!Broken()) {
        if (window_ && !gone_) xcb_destroy_window(c_, window_);
        if (picture_) xcb_free_pixmap(c_, picture_);
        if (gc_) xcb_free_gc(c_, gc_);
        if (colormap_ && screen_ && colormap_ != screen_->default_colormap) xcb_free_colormap(c_, colormap_);
        // The host may reuse its window as soon as we return: ours is gone by then.
        Sync(c_);
    }
    if (keys_) xcb_key_symbols_free(keys_);
    xcb_disconnect(c_);
}

void XcbWindow::Show(const IBitmap& surface, const IRectangle& area)
{
    const int left = std::max(0, area.left), top = std::max(0, area.top);
    const int right = std::min({area.right, width_, surface.Width()});
    const int bottom = std::min({area.bottom, height_, surface.Height()});
    if (right <= left || bottom <= top || !surface.Pixels()) return;
    const int w = right - left;
    // Bands of rows that fit one request (24 bytes of header).
    const std::size_t maxBytes = static_cast<std::size_t>(xcb_get_maximum_request_length(c_)) * 4;
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 4;
    const int band = static_cast<int>(std::max<std::size_t>(1, (maxBytes - 32) / rowBytes));
    for (int y = top; y < bottom; y += band) {
        const int n = std::min(band, bottom - y);
        rows_.resize(rowBytes * static_cast<std::size_t>(n));
        for (int r = 0; r < n; ++r) {
            const int row = surface.Flipped() ? surface.Height() - 1 - (y + r) : y + r;
            const std::uint32_t* src =
                surface.Pixels() + static_cast<std::ptrdiff_t>(row) * surface.RowSpan() + left;
            PackPixels(src, w, format_, rows_.data() + rowBytes * static_cast<std::size_t>(r));
        }
        xcb_put_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, picture_, gc_, static_cast<std::uint16_t>(w),
                      static_cast<std::uint16_t>(n), static_cast<std::int16_t>(left), static_cast<std::int16_t>(y), 0,
                      depth_, static_cast<std::uint32_t>(rows_.size()), rows_.data());
    }
    // The server repaints the area from the window's background, our picture.
    if (window_)
        xcb_clear_area(c_, 0, window_, static_cast<std::int16_t>(left), static_cast<std::int16_t>(top),
                       static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(bottom - top));
}

void XcbWindow::Resize(int width, int height)
{
    if (width <= 0 || height <= 0 || width > 0x7FFF || height > 0x7FFF) return;
    const int dw = width - width_, dh = height - height_;
    if (!MakePicture(width, height)) return;
    const xcb_rectangle_t all{0, 0, static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height)};
    xcb_poly_fill_rectangle(c_, picture_, gc_, 1, &all);
    xcb_change_window_attributes(c_, window_, XCB_CW_BACK_PIXMAP, &picture_);
    const std::uint32_t size[] = {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
    xcb_configure_window(c_, window_, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
    xcb_clear_area(c_, 0, window_, 0, 0, 0, 0);
    // The host's window grows or shrinks with us.
    Freed<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c_, xcb_get_geometry(c_, parent_), nullptr));
    if (geometry && (dw != 0 || dh != 0)) {
        const std::uint32_t parentSize[] = {static_cast<std::uint32_t>(std::max(1, geometry->width + dw)),
                                            static_cast<std::uint32_t>(std::max(1, geometry->height + dh))};
        xcb_configure_window(c_, parent_, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, parentSize);
    }
}

bool XcbWindow::OriginIn(xcb_window_t other, int& x, int& y) const
{
    Freed<xcb_translate_coordinates_reply_t> reply(
        xcb_translate_coordinates_reply(c_, xcb_translate_coordinates(c_, window_, other, 0, 0), nullptr));
    if (!reply || !reply->same_screen) return false;
    x = reply->dst_x;
    y = reply->dst_y;
    return true;
}

xcb_keysym_t XcbWindow::Keysym(xcb_keycode_t code, int column)
{
    return keys_ ? xcb_key_symbols_get_keysym(keys_, code, column) : 0;
}

void XcbWindow::KeyboardChanged(xcb_mapping_notify_event_t* event)
{
    if (keys_) xcb_refresh_keyboard_mapping(keys_, event);
}

// ---- value box -------------------------------------------------------------------

XcbEntryBox::XcbEntryBox(XcbWindow& editor, const TextEntryPlan& plan, std::vector<std::string> items)
    : editor_(editor), items_(std::move(items))
{
    xcb_connection_t* c = editor_.Connection();
    font_ = xcb_generate_id(c);
    if (Succeeded(c, xcb_open_font_checked(c, font_, 5, "fixed"))) {
        Freed<xcb_query_font_reply_t> info(xcb_query_font_reply(c, xcb_query_font(c, font_), nullptr));
        if (info) {
            ascent_ = info->font_ascent;
            descent_ = info->font_descent;
            charWidth_ = std::max<int>(1, info->max_bounds.character_width);
        }
    } else {
        font_ = 0; // boxes without text are still boxes
    }
    rowHeight_ = ascent_ + descent_ + 4;
    width_ = std::max(plan.width, 8);
    height_ = IsList() ? rowHeight_ * ItemCount() + 2 : std::max(plan.height, 8);

    window_ = xcb_generate_id(c);
    const std::uint32_t values[] = {editor_.White(), 0,
                                    XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_BUTTON_PRESS |
                                        XCB_EVENT_MASK_FOCUS_CHANGE | XCB_EVENT_MASK_EXPOSURE};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window_, editor_.Id(), static_cast<std::int16_t>(plan.x),
                      static_cast<std::int16_t>(plan.y), static_cast<std::uint16_t>(width_),
                      static_cast<std::uint16_t>(height_), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK, values);
    // Values in the order of the mask bits: foreground, background, font, exposures.
    auto makeGc = [&](std::uint32_t foreground, std::uint32_t background) {
        const xcb_gcontext_t gc = xcb_generate_id(c);
        const std::uint32_t withFont[] = {foreground, background, font_, 0};
        const std::uint32_t withoutFont[] = {foreground, background, 0};
        if (font_) {
            xcb_create_gc(c, gc, window_,
                          XCB_GC_FOREGROUND | XCB_GC_BACKGROUND | XCB_GC_FONT | XCB_GC_GRAPHICS_EXPOSURES, withFont);
        } else {
            xcb_create_gc(c, gc, window_, XCB_GC_FOREGROUND | XCB_GC_BACKGROUND | XCB_GC_GRAPHICS_EXPOSURES,
                          withoutFont);
        }
        return gc;
    };
    ink_ = makeGc(0, editor_.White());
    paper_ = makeGc(editor_.White(), 0);
    xcb_map_window(c, window_);
    TakeFocus();
}

XcbEntryBox::~XcbEntryBox()
{
    xcb_connection_t* c = editor_.Connection();
    if (editor_.Broken()) return;
    Freed<xcb_get_input_focus_reply_t> focus(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    if (focus && focus->focus == window_)
        xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, previousFocus_, XCB_CURRENT_TIME);
    xcb_free_gc(c, ink_);
    xcb_free_gc(c, paper_);
    if (font_) xcb_close_font(c, font_);
    xcb_destroy_window(c, window_);
    xcb_flush(c);
}

void XcbEntryBox::TakeFocus()
{
    xcb_connection_t* c = editor_.Connection();
    if (previousFocus_ == XCB_NONE) {
        Freed<xcb_get_input_focus_reply_t> focus(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
        if (focus && focus->focus != window_) previousFocus_ = focus->focus;
    }
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, window_, XCB_CURRENT_TIME);
}

void XcbEntryBox::Draw(const char* text, bool fresh, int selection)
{
    xcb_connection_t* c = editor_.Connection();
    xcb_clear_area(c, 0, window_, 0, 0, 0, 0);
    const xcb_rectangle_t frame{0, 0, static_cast<std::uint16_t>(width_ - 1), static_cast<std::uint16_t>(height_ - 1)};
    xcb_poly_rectangle(c, window_, ink_, 1, &frame);
    if (!font_) return;
    auto put = [&](xcb_gcontext_t gc, int x, int baseline, const char* s) {
        const std::size_t n = std::min<std::size_t>(std::strlen(s), 255);
        xcb_image_text_8(c, static_cast<std::uint8_t>(n), window_, gc, static_cast<std::int16_t>(x),
                         static_cast<std::int16_t>(baseline), s);
    };
    if (IsList()) {
        for (int i = 0; i < ItemCount(); ++i) {
            const int top = 1 + i * rowHeight_;
            if (i == selection) {
                const xcb_rectangle_t row{1, static_cast<std::int16_t>(top), static_cast<std::uint16_t>(width_ - 2),
                                          static_cast<std::uint16_t>(rowHeight_)};
                xcb_poly_fill_rectangle(c, window_, ink_, 1, &row);
            }
            put(i == selection ? paper_ : ink_, 4, top + 2 + ascent_, Item(i));
        }
        return;
    }
    // Centred on the first line, as a multi-line edit box shows it.
    const int length = static_cast<int>(std::strlen(text ? text : ""));
    const int x = std::max(2, (width_ - length * charWidth_) / 2);
    const int baseline = 2 + ascent_;
    if (length > 0) put(fresh ? paper_ : ink_, x, baseline, text);
    if (!fresh) {
        const int caret = x + length * charWidth_;
        const xcb_point_t line[] = {{static_cast<std::int16_t>(caret), static_cast<std::int16_t>(baseline - ascent_)},
                                    {static_cast<std::int16_t>(caret), static_cast<std::int16_t>(baseline + descent_)}};
        xcb_poly_line(c, XCB_COORD_MODE_ORIGIN, window_, ink_, 2, line);
    }
}

int XcbEntryBox::RowAt(int y) const
{
    if (!IsList() || y < 1) return -1;
    const int row = (y - 1) / rowHeight_;
    return row < ItemCount() ? row : -1;
}

} // namespace mg::x11
