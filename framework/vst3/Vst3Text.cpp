#include "vst3/Vst3Text.h"

namespace mg::vst3 {

namespace {

// The code point at `s`, moving `s` past it; U+FFFD for a malformed sequence.
char32_t NextCodePoint(const unsigned char*& s)
{
    const unsigned char lead = *s++;
    int follow = 0;
    char32_t code = lead;
    if (lead >= 0xF0 && lead < 0xF5) {
        follow = 3;
        code = lead & 0x07;
    } else if (lead >= 0xE0) {
        follow = lead < 0xF0 ? 2 : -1;
        code = lead & 0x0F;
    } else if (lead >= 0xC2) {
        follow = 1;
        code = lead & 0x1F;
    } else if (lead >= 0x80) {
        follow = -1;
    }
    if (follow < 0) return 0xFFFD;
    for (int i = 0; i < follow; ++i) {
        if ((*s & 0xC0) != 0x80) return 0xFFFD;
        code = (code << 6) | (*s++ & 0x3F);
    }
    return code > 0x10FFFF || (code >= 0xD800 && code < 0xE000) ? 0xFFFD : code;
}

void AppendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

} // namespace

void ToUtf16(const char* utf8, char16* out, std::size_t capacity)
{
    if (!out || capacity == 0) return;
    std::size_t n = 0;
    const auto* s = reinterpret_cast<const unsigned char*>(utf8 ? utf8 : "");
    while (*s) {
        const char32_t code = NextCodePoint(s);
        const std::size_t units = code >= 0x10000 ? 2 : 1;
        if (n + units + 1 > capacity) break;
        if (units == 2) {
            out[n++] = static_cast<char16>(0xD800 + ((code - 0x10000) >> 10));
            out[n++] = static_cast<char16>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            out[n++] = static_cast<char16>(code);
        }
    }
    out[n] = u'\0';
}

std::string ToUtf8(const char16* utf16, std::size_t capacity)
{
    std::string out;
    if (!utf16) return out;
    for (std::size_t i = 0; i < capacity && utf16[i] != u'\0'; ++i) {
        char32_t code = utf16[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < capacity && utf16[i + 1] >= 0xDC00 && utf16[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code < 0xE000) {
            code = 0xFFFD;
        }
        AppendUtf8(out, code);
    }
    return out;
}

} // namespace mg::vst3
