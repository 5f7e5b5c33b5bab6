#include "LiveProcessor.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "ChannelCheck.h"
#include "HostContext.h"
#include "PluginInstance.h"

namespace mg::live {

LiveProcessor::LiveProcessor(host::HostedPlugin& plugin, host::HostContext& host, bool doublePrecision)
    : plugin_(plugin),
      host_(host),
      double_(doublePrecision),
      inputs_(std::max(0, plugin.Inputs())),
      outputs_(std::max(0, plugin.Outputs())),
      in_(static_cast<std::size_t>(inputs_)),
      out_(static_cast<std::size_t>(outputs_)),
      in64_(static_cast<std::size_t>(inputs_)),
      out64_(static_cast<std::size_t>(outputs_))
{
}

void LiveProcessor::Prepare(double sampleRate, int frames)
{
    Setup(sampleRate, frames);
}

void LiveProcessor::Start()
{
    host_.StartRendering();
    Open();
}

void LiveProcessor::Reconfigure(double sampleRate, int frames)
{
    const std::lock_guard<std::mutex> lock(control_);
    Close();
    if (sampleRate == sampleRate_ && frames == frames_) {
        open_.store(true, std::memory_order_seq_cst);
        return;
    }
    plugin_.Suspend();
    Setup(sampleRate, frames);
    Open();
}

void LiveProcessor::Hold()
{
    const std::lock_guard<std::mutex> lock(control_);
    Close();
}

void LiveProcessor::Open()
{
    plugin_.Resume();
    host::CheckChannelsKept(plugin_, inputs_, outputs_);
    open_.store(true, std::memory_order_seq_cst);
}

void LiveProcessor::Stop()
{
    Close();
    plugin_.Suspend();
    host_.StopRendering();
}

// Dekker's pattern with the audio thread's entry: after the gate reads
// closed here, any period that got in has left, and no new one gets past it.
void LiveProcessor::Close()
{
    open_.store(false, std::memory_order_seq_cst);
    while (inside_.load(std::memory_order_seq_cst) != 0)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
}

void LiveProcessor::Setup(double sampleRate, int frames)
{
    if (double_ && frames > capacity_) {
        doubles_.assign(static_cast<std::size_t>(inputs_ + outputs_) * static_cast<std::size_t>(frames), 0.0);
        for (int i = 0; i < inputs_ + outputs_; ++i) {
            double* channel = doubles_.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(frames);
            (i < inputs_ ? in64_[static_cast<std::size_t>(i)] : out64_[static_cast<std::size_t>(i - inputs_)]) =
                channel;
        }
    }
    capacity_ = std::max(capacity_, frames);
    sampleRate_ = sampleRate;
    frames_ = frames;
    host_.SetSampleRate(sampleRate);
    host_.SetBlockSize(frames);
    plugin_.Prepare(sampleRate, frames, double_ ? host::SampleSize::Double : host::SampleSize::Float);
}

void LiveProcessor::Process(float* const* in, float* const* out, int frames) noexcept
{
    inside_.fetch_add(1, std::memory_order_seq_cst);
    const host::HostContext::ProcessCall inside;
    if (!open_.load(std::memory_order_seq_cst) || frames > capacity_) {
        for (int c = 0; c < outputs_; ++c)
            std::fill(out[c], out[c] + frames, 0.0f);
        inside_.fetch_sub(1, std::memory_order_release);
        return;
    }
    if (!double_) {
        std::copy(in, in + inputs_, in_.begin());
        std::copy(out, out + outputs_, out_.begin());
        plugin_.Process(in_.data(), out_.data(), frames);
    } else {
        for (int c = 0; c < inputs_; ++c)
            std::copy(in[c], in[c] + frames, in64_[static_cast<std::size_t>(c)]);
        plugin_.Process(in64_.data(), out64_.data(), frames);
        for (int c = 0; c < outputs_; ++c) {
            const double* from = out64_[static_cast<std::size_t>(c)];
            std::transform(from, from + frames, out[c], [](double v) { return static_cast<float>(v); });
        }
    }
    host_.Advance(frames);
    inside_.fetch_sub(1, std::memory_order_release);
}

} // namespace mg::live
