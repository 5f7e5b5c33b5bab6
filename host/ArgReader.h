#pragma once
// Walks argv for a program's options and positionals. Options may come
// before, between or after the positionals; `--name value` and
// `--name=value` both work, and `--` ends the options.
#include <cstddef>
#include <optional>
#include <string>
#include <utility>

#include "Failure.h"
#include "Text.h"

namespace mg::host {

class ArgReader {
public:
    ArgReader(int argc, const char* const* argv, int first) : argc_(argc), argv_(argv), next_(first) {}

    // A `--` with nothing after it ends the words too: it gives no empty
    // positional.
    bool Done() const;

    // The next word; sets `isOption` and, for `--name=value`, the inline value.
    std::string Next(bool& isOption);
    // The value of `option`: inline, or the next word. Throws UsageError.
    std::string Value(const std::string& option);
    // The same, refusing an empty value: an empty file or port name is a
    // slip, never a request.
    std::string NonEmptyValue(const std::string& option);
    // Throws UsageError when `option` was given an inline value.
    void NoValue(const std::string& option) const;

private:
    int argc_;
    const char* const* argv_;
    int next_;
    bool endOfOptions_ = false;
    std::optional<std::string> inlineValue_;
};

// The value of one of a few keywords an option takes; the error names them
// all. Throws UsageError.
template <class Value, std::size_t N>
Value ParseKeyword(const std::string& text, const char* option, const std::pair<const char*, Value> (&choices)[N])
{
    std::string names;
    for (std::size_t i = 0; i < N; ++i) {
        if (text == choices[i].first)
            return choices[i].second;
        names += (i == 0 ? "" : i + 1 == N ? " or " : ", ") + std::string(choices[i].first);
    }
    throw UsageError(std::string(option) + " must be " + names + ", got " + Quoted(text));
}

} // namespace mg::host
