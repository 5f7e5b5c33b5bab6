#include "RenderLoop.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <vector>

#include "AudioFile.h"
#include "ChannelCheck.h"
#include "HostContext.h"
#include "PluginInstance.h"
#include "Progress.h"

namespace mg::host {
namespace {

std::size_t Size(std::int64_t n)
{
    return static_cast<std::size_t>(n);
}

// Interleaved file frames on one side, the plug-in's planar channels on the
// other, with the pointer arrays the process call takes.
template <class T>
struct Buffers {
    Buffers(int fileChannels, int inputs, int outputs, int block)
        : fileIn(Size(std::int64_t{fileChannels} * block)),
          planarIn(Size(std::int64_t{inputs} * block)),
          planarOut(Size(std::int64_t{outputs} * block)),
          fileOut(Size(std::int64_t{outputs} * block)),
          // never empty: a plug-in may look at the array even with no channels
          inPtrs(Size(std::max(inputs, 1)), nullptr),
          outPtrs(Size(std::max(outputs, 1)), nullptr)
    {
        for (int c = 0; c < inputs; ++c)
            inPtrs[Size(c)] = planarIn.data() + Size(std::int64_t{c} * block);
        for (int c = 0; c < outputs; ++c)
            outPtrs[Size(c)] = planarOut.data() + Size(std::int64_t{c} * block);
    }

    std::vector<T> fileIn, planarIn, planarOut, fileOut;
    std::vector<T*> inPtrs, outPtrs;
};

template <class T>
void Process(const RenderJob& job, Buffers<T>& buffers, int frames)
{
    const HostContext::ProcessCall inside;
    if constexpr (std::is_same_v<T, float>) {
        if (job.callback == CallbackKind::Accumulating) {
            // VST 2.4's legacy call adds to what is there: start from silence.
            std::fill(buffers.planarOut.begin(), buffers.planarOut.end(), T{});
            vst::AEffect* effect = job.plugin.AsVst2()->Raw();
            effect->process(effect, buffers.inPtrs.data(), buffers.outPtrs.data(), frames);
            return;
        }
    }
    job.plugin.Process(buffers.inPtrs.data(), buffers.outPtrs.data(), frames);
}

template <class T>
RenderStats Render(const RenderJob& job)
{
    const int fileChannels = job.reader.Channels();
    const int inputs = job.plugin.Inputs();
    const int outputs = job.plugin.Outputs();
    const int block = job.block;
    const int mapped = std::min(fileChannels, inputs);
    Buffers<T> buffers(fileChannels, inputs, outputs, block);

    RenderStats stats;
    std::int64_t tailLeft = job.tailFrames;
    bool inputDone = false;

    job.plugin.Resume();
    CheckChannelsKept(job.plugin, inputs, outputs);
    job.host.StartRendering();
    for (;;) {
        int frames = 0;
        if (!inputDone) {
            frames = static_cast<int>(job.reader.Read(buffers.fileIn.data(), block));
            inputDone = frames < block;
        }
        // Unmapped inputs, the rest of a short last block and the tail stay silent.
        std::fill(buffers.planarIn.begin(), buffers.planarIn.end(), T{});
        for (int c = 0; c < mapped; ++c) {
            T* in = buffers.inPtrs[Size(c)];
            for (int i = 0; i < frames; ++i)
                in[i] = buffers.fileIn[Size(std::int64_t{i} * fileChannels + c)];
        }
        if (frames < block && tailLeft > 0) {
            const int extra = static_cast<int>(std::min<std::int64_t>(block - frames, tailLeft));
            tailLeft -= extra;
            frames += extra;
        }
        if (frames == 0)
            break;

        Process(job, buffers, frames);
        job.host.Advance(frames);

        for (int c = 0; c < outputs; ++c) {
            const T* out = buffers.outPtrs[Size(c)];
            for (int i = 0; i < frames; ++i) {
                const T v = out[i];
                if (!std::isfinite(v))
                    ++stats.nonFinite;
                else if (v > T{1} || v < T{-1})
                    ++stats.overs;
                buffers.fileOut[Size(std::int64_t{i} * outputs + c)] = v;
            }
        }
        job.writer.Write(buffers.fileOut.data(), frames);
        stats.frames += frames;
        job.progress.Update(stats.frames);
    }
    job.host.StopRendering();
    job.plugin.Suspend();
    job.progress.Finish();
    return stats;
}

} // namespace

RenderStats RenderFloat(const RenderJob& job)
{
    return Render<float>(job);
}

RenderStats RenderDouble(const RenderJob& job)
{
    return Render<double>(job);
}

} // namespace mg::host
