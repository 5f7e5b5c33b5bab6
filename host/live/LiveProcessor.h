#pragma once
// The real-time side of mg-live: one JACK period through the plug-in.
//
// Process() runs on the audio thread and takes no lock, makes no system call
// and allocates nothing. The control side closes a gate, waits until no
// period is inside, and only then touches the plug-in's setup or the
// buffers, so the audio thread never sees a half-made change. A period that
// finds the gate closed is silence.
//
// Only the main thread talks to the plug-in (plug-ins of every format
// expect one thread besides the audio thread): JACK's notification thread
// only holds the gate closed (Hold) and leaves the new settings to the main
// thread (Reconfigure).
#include <atomic>
#include <mutex>
#include <vector>

namespace mg::host {
class HostContext;
class HostedPlugin;
} // namespace mg::host

namespace mg::live {

class LiveProcessor {
public:
    LiveProcessor(host::HostedPlugin& plugin, host::HostContext& host, bool doublePrecision);
    LiveProcessor(const LiveProcessor&) = delete;
    LiveProcessor& operator=(const LiveProcessor&) = delete;

    int Inputs() const { return inputs_; }
    int Outputs() const { return outputs_; }

    // Main thread. Prepare gives the suspended plug-in its settings, Start
    // resumes it; Reconfigure suspends, sets new values and resumes (only
    // when they differ), then opens the gate; Stop suspends it for good.
    // Prepare, Start and Reconfigure throw host::Failure when the plug-in
    // refuses the rate or period (VST 3 and CLAP plug-ins may), or changes
    // its channel counts on resuming: the gate then stays closed.
    void Prepare(double sampleRate, int frames);
    void Start();
    void Reconfigure(double sampleRate, int frames);
    void Stop();
    // Any thread but the audio thread: silence until the next Reconfigure.
    void Hold();

    // Audio thread. `in` has Inputs() buffers, `out` Outputs(), each of
    // `frames` samples.
    void Process(float* const* in, float* const* out, int frames) noexcept;

private:
    void Close();
    void Open();
    void Setup(double sampleRate, int frames);

    host::HostedPlugin& plugin_;
    host::HostContext& host_;
    const bool double_;
    const int inputs_;
    const int outputs_;
    double sampleRate_ = 0.0;
    int frames_ = 0;
    int capacity_ = 0; // frames the buffers hold
    std::mutex control_; // a Hold never lands between Reconfigure's check and its reopening
    std::atomic<bool> open_{false};
    std::atomic<int> inside_{0};
    std::vector<float*> in_;
    std::vector<float*> out_;
    std::vector<double> doubles_; // inputs then outputs, capacity_ frames each
    std::vector<double*> in64_;
    std::vector<double*> out64_;
};

} // namespace mg::live
