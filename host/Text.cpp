#include "Text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>

namespace mg::host {

std::string Printable(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        out.push_back(u < 0x20 || u == 0x7f ? '?' : c);
    }
    return out;
}

std::string FourChars(std::int32_t id)
{
    const auto u = static_cast<std::uint32_t>(id);
    std::string out(4, '.');
    for (int i = 0; i < 4; ++i) {
        const auto byte = static_cast<unsigned char>(u >> (24 - 8 * i));
        if (byte >= 0x20 && byte < 0x7f)
            out[static_cast<std::size_t>(i)] = static_cast<char>(byte);
    }
    return out;
}

std::optional<double> ParseNumber(std::string_view text)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> ParseIndex(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || value < 0)
        return std::nullopt;
    return value;
}

std::string LowerExtension(const std::string& path)
{
    std::string ext = std::filesystem::path(path).extension().string();
    if (!ext.empty() && ext.front() == '.')
        ext.erase(0, 1);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

std::string Quoted(std::string_view text)
{
    // Built by appending: GCC 12 at -O3 misreads `"'" + std::string&&` as an
    // overlapping copy (-Wrestrict).
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '\'';
    quoted += Printable(text);
    quoted += '\'';
    return quoted;
}

} // namespace mg::host
