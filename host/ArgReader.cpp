#include "ArgReader.h"

#include <string_view>

#include "Failure.h"

namespace mg::host {

bool ArgReader::Done() const
{
    if (next_ >= argc_)
        return true;
    return !endOfOptions_ && next_ + 1 == argc_ && std::string_view(argv_[next_]) == "--";
}

std::string ArgReader::Next(bool& isOption)
{
    std::string word = argv_[next_++];
    inlineValue_.reset();
    isOption = false;
    if (!endOfOptions_ && word == "--") {
        endOfOptions_ = true;
        return Next(isOption); // Done() said a word follows
    }
    if (!endOfOptions_ && word.size() > 1 && word[0] == '-') {
        isOption = true;
        const auto eq = word.find('=');
        if (eq != std::string::npos && word.rfind("--", 0) == 0) {
            inlineValue_ = word.substr(eq + 1);
            word.erase(eq);
        }
    }
    return word;
}

std::string ArgReader::Value(const std::string& option)
{
    if (inlineValue_) {
        std::string value = *inlineValue_;
        inlineValue_.reset();
        return value;
    }
    if (Done())
        throw UsageError("option " + option + " needs a value");
    return argv_[next_++];
}

std::string ArgReader::NonEmptyValue(const std::string& option)
{
    std::string value = Value(option);
    if (value.empty())
        throw UsageError(option + " needs a non-empty value");
    return value;
}

void ArgReader::NoValue(const std::string& option) const
{
    if (inlineValue_)
        throw UsageError("option " + option + " takes no value");
}

} // namespace mg::host
