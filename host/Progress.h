#pragma once
// A progress indicator on stderr: a percentage rewritten in place on a
// terminal, a line every 10% when stderr goes to a file or pipe.
#include <cstdint>

namespace mg::host {

class Progress {
public:
    // Nothing shows when `enabled` is false or the work is zero frames.
    Progress(std::int64_t totalFrames, bool enabled);

    // Prints only when the shown value changes; never allocates.
    void Update(std::int64_t doneFrames);
    void Finish();

private:
    std::int64_t total_;
    bool enabled_;
    bool terminal_;
    int shown_ = -1;
};

} // namespace mg::host
