#pragma once
// Small text helpers: plug-ins hand us arbitrary bytes, users hand us numbers.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mg::host {

// Replaces control characters so that whatever a plug-in reports stays on
// one line of output.
std::string Printable(std::string_view text);

// The four characters of a unique ID, first character from the top byte;
// unprintable bytes become '.'.
std::string FourChars(std::int32_t id);

// A whole string as a finite number in the C locale, or nothing.
std::optional<double> ParseNumber(std::string_view text);

// A whole string as a non-negative decimal integer that fits an int.
std::optional<int> ParseIndex(std::string_view text);

// The extension after the last dot of the file name, lower case, no dot.
std::string LowerExtension(const std::string& path);

// Quotes a user-given word for an error message.
std::string Quoted(std::string_view text);

} // namespace mg::host
