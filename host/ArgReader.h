#pragma once
// Walks argv for a program's options and positionals. Options may come
// before, between or after the positionals; `--name value` and
// `--name=value` both work, and `--` ends the options.
#include <optional>
#include <string>

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

} // namespace mg::host
