// The draw surface on Windows: a top-down 32-bit DIB section selected into a
// memory device context compatible with the screen, so painting the window is
// one BitBlt from this context.
#include "platform/WindowsApi.h"

#include "raster/ISystemBitmap.h"

namespace mg {

ISystemBitmap::ISystemBitmap(int width, int height)
{
    dc_ = CreateCompatibleDC(nullptr);
    Resize(width, height);
}

ISystemBitmap::~ISystemBitmap()
{
    FreeSurface();
    if (dc_) DeleteDC(static_cast<HDC>(dc_));
}

void ISystemBitmap::FreeSurface()
{
    if (replaced_) {
        SelectObject(static_cast<HDC>(dc_), static_cast<HGDIOBJ>(replaced_));
        replaced_ = nullptr;
    }
    if (section_) {
        DeleteObject(static_cast<HGDIOBJ>(section_));
        section_ = nullptr;
    }
    pixels_ = nullptr;
}

bool ISystemBitmap::MakeSurface()
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = allocWidth_;
    info.bmiHeader.biHeight = -allocHeight_; // negative: rows run top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(static_cast<HDC>(dc_), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section || !bits) {
        if (section) DeleteObject(section);
        return false;
    }
    HGDIOBJ replaced = SelectObject(static_cast<HDC>(dc_), section);
    if (!replaced || replaced == HGDI_ERROR) {
        DeleteObject(section);
        return false;
    }
    section_ = section;
    replaced_ = replaced;
    pixels_ = static_cast<std::uint32_t*>(bits);
    return true;
}

} // namespace mg
