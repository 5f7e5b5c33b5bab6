#pragma once
// What the mg-live tests play with: a private JACK server on the dummy
// driver, mg-live in its own process, and a rig of two JACK clients of the
// test's own: "feed" plays a signal into mg-live, "rec" records that signal
// and mg-live's outputs in the same cycles, with the xruns it heard of.
#include <jack/jack.h>
#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace mg::livetest {

// `jackd --no-realtime -n NAME -d dummy`, named in JACK_DEFAULT_SERVER for
// this process and its children while it runs.
class JackServer {
public:
    explicit JackServer(int periodFrames = 256);
    ~JackServer();
    JackServer(const JackServer&) = delete;
    JackServer& operator=(const JackServer&) = delete;

    bool Running() const { return pid_ > 0; }
    const std::string& Problem() const { return problem_; }
    void Stop();
    // A stopped server takes connections and never answers them.
    void Freeze(bool frozen);

private:
    pid_t pid_ = -1;
    std::string problem_;
};

// A program in its own process, stderr kept in a file.
class Child {
public:
    Child(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& errFile);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    void Signal(int signal);
    bool Exited();
    // The exit status once it ended within `timeout`; -1 when it did not
    // (it is killed then) or died of a signal.
    int Wait(std::chrono::milliseconds timeout = std::chrono::milliseconds(20000));
    std::string Err() const;

private:
    pid_t pid_ = -1;
    int status_ = -1;
    bool done_ = false;
    std::string errFile_;
};

// Polls `done` every 10 ms until it says so or `timeout` passes.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

// One recorded JACK cycle: where its frames start in the recording, how
// many, and the xruns heard of before it.
struct Cycle {
    std::int64_t start;
    int frames;
    int xruns;
};

class Rig {
public:
    static constexpr int kChannels = 3; // the fed signal, mg-live's out_1 and out_2

    // `seconds`: the longest recording.
    explicit Rig(double seconds);
    ~Rig();
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    bool Ok() const { return feed_ && rec_; }
    jack_client_t* Client() const { return rec_; }
    // Whether mg-live's client `name` has its ports joined to the rig.
    bool LiveConnected(const std::string& name) const;

    // A sine of `frequency` Hz (0: silence) at `amplitude`.
    void Play(double frequency, double amplitude);
    // Recording ends after the cycle under way.
    void Record(bool on);
    // Drops what was recorded; not while recording.
    void Restart();
    // Frames recorded so far.
    std::int64_t Frames() const { return written_.load(); }
    bool WaitForFrames(std::int64_t frames, std::chrono::milliseconds timeout) const;

    // Valid once recording stopped.
    float At(std::int64_t frame, int channel) const
    {
        return samples_[static_cast<std::size_t>(frame * kChannels + channel)];
    }
    std::vector<Cycle> Cycles() const;
    std::vector<float> Channel(int channel) const;

private:
    static int Feed(jack_nframes_t frames, void* self);
    static int Rec(jack_nframes_t frames, void* self);
    static int Xrun(void* self);

    jack_client_t* feed_ = nullptr;
    jack_client_t* rec_ = nullptr;
    jack_port_t* feedOut_ = nullptr;
    jack_port_t* recIn_[kChannels] = {};
    std::atomic<double> frequency_{0.0};
    std::atomic<double> amplitude_{0.0};
    double phase_ = 0.0;
    std::atomic<bool> recording_{false};
    std::atomic<int> xruns_{0};
    std::atomic<std::int64_t> written_{0};
    std::atomic<int> cycleCount_{0};
    std::vector<float> samples_;
    std::vector<Cycle> cycles_;
};

// Records 0.4 s and gives, of the periods recorded with no new xrun, the
// share whose out_1 is the fed signal itself: the pedal's bypass.
double BypassedShare(Rig& rig);

} // namespace mg::livetest
