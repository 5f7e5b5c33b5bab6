#pragma once
// The block loop of a render, for float or double samples. Every buffer is
// sized once before the loop; the loop itself allocates nothing.
#include <cstdint>

#include "CommandLine.h"

namespace mg::host {

class AudioReader;
class AudioWriter;
class HostContext;
class HostedPlugin;
class Progress;

struct RenderStats {
    std::int64_t frames = 0;    // written to the output
    std::int64_t nonFinite = 0; // NaN or infinite output samples
    std::int64_t overs = 0;     // output samples beyond full scale
};

struct RenderJob {
    HostedPlugin& plugin;
    HostContext& host;
    AudioReader& reader;
    AudioWriter& writer;
    Progress& progress;
    CallbackKind callback = CallbackKind::Replacing;
    int block = 512;
    std::int64_t tailFrames = 0;
};

// Resumes the plug-in, renders the whole input and the tail, suspends it.
RenderStats RenderFloat(const RenderJob& job);
RenderStats RenderDouble(const RenderJob& job);

} // namespace mg::host
