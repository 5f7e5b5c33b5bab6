#include "ArgReader.h"

#include "Failure.h"

namespace mg::host {

std::string ArgReader::Next(bool& isOption)
{
    std::string word = argv_[next_++];
    inlineValue_.reset();
    isOption = false;
    if (!endOfOptions_ && word == "--") {
        endOfOptions_ = true;
        return Done() ? std::string() : Next(isOption);
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

void ArgReader::NoValue(const std::string& option) const
{
    if (inlineValue_)
        throw UsageError("option " + option + " takes no value");
}

} // namespace mg::host
