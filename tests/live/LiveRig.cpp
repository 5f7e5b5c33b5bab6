#include "LiveRig.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

#include <gtest/gtest.h>

extern char** environ;

namespace mg::livetest {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRate = 48000;

void Quiet(const char*) {}

// The feed's port buffer is the recorder's input: two threads of this
// process share it, ordered by libjack in ways ThreadSanitizer cannot see.
std::atomic_ref<float> Shared(float& sample)
{
    return std::atomic_ref<float>(sample);
}

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv, const char* errFile)
{
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> envStrings;
    for (char** e = environ; *e; ++e)
        envStrings.emplace_back(*e);
    for (const auto& e : extraEnv) {
        const auto name = e.substr(0, e.find('=') + 1);
        std::erase_if(envStrings, [&](const std::string& s) { return s.rfind(name, 0) == 0; });
        if (e.back() != '=') // "NAME=" alone removes NAME
            envStrings.push_back(e);
    }
    std::vector<char*> envp;
    for (auto& e : envStrings)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errFile, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return failed ? -1 : pid;
}

bool HaveJackd()
{
    for (const char* folder : {"/usr/bin", "/usr/local/bin"})
        if (access((std::string(folder) + "/jackd").c_str(), X_OK) == 0)
            return true;
    return false;
}

jack_client_t* Open(const char* name)
{
    return jack_client_open(name, JackNoStartServer, nullptr);
}

} // namespace

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (!done()) {
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// ---- the server ------------------------------------------------------------------

JackServer::JackServer(int periodFrames)
{
    jack_set_error_function(Quiet);
    jack_set_info_function(Quiet);
    if (!HaveJackd()) {
        problem_ = "no jackd (scripts/install-deps.sh installs jackd2)";
        return;
    }
    // JACK keeps at most eight servers in its registry and frees an entry
    // left by a server that died unannounced only when a server of the same
    // name starts: one name per test, not per process, so a killed run's
    // leftovers are taken back by the next run instead of piling up.
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name =
        "mg-live-test-" + (test ? std::string(test->name()).substr(0, 40) : std::to_string(getpid()));
    setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);
    pid_ = Spawn({"jackd", "--no-realtime", "-n", name, "-d", "dummy", "-r", std::to_string(kRate), "-p",
                  std::to_string(periodFrames)},
                 {}, "/dev/null");
    if (pid_ <= 0) {
        problem_ = "jackd did not start";
        return;
    }
    // Up once a client gets in.
    const bool up = WaitUntil(
        [] {
            jack_client_t* probe = Open("mgl-probe");
            if (!probe)
                return false;
            jack_client_close(probe);
            return true;
        },
        std::chrono::seconds(20));
    if (!up) {
        Stop();
        problem_ = "jackd did not answer";
    }
}

JackServer::~JackServer()
{
    Stop();
    unsetenv("JACK_DEFAULT_SERVER");
}

void JackServer::Stop()
{
    if (pid_ <= 0)
        return;
    kill(pid_, SIGTERM);
    int status = 0;
    if (!WaitUntil([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, std::chrono::seconds(10))) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
    }
    pid_ = -1;
}

void JackServer::Freeze(bool frozen)
{
    if (pid_ > 0)
        kill(pid_, frozen ? SIGSTOP : SIGCONT);
}

// ---- a child process ----------------------------------------------------------------

Child::Child(const std::vector<std::string>& argv, const std::vector<std::string>& env, const std::string& errFile)
    : errFile_(errFile)
{
    pid_ = Spawn(argv, env, errFile.c_str());
    done_ = pid_ <= 0;
}

Child::~Child()
{
    if (!done_)
        Wait(std::chrono::milliseconds(0));
}

void Child::Signal(int signal)
{
    if (!done_)
        kill(pid_, signal);
}

bool Child::Exited()
{
    if (!done_ && waitpid(pid_, &status_, WNOHANG) == pid_)
        done_ = true;
    return done_;
}

int Child::Wait(std::chrono::milliseconds timeout)
{
    if (!WaitUntil([&] { return Exited(); }, timeout)) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
        done_ = true;
        return -1;
    }
    return pid_ > 0 && WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}

std::string Child::Err() const
{
    std::ifstream file(errFile_);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// ---- the rig ------------------------------------------------------------------------

Rig::Rig(double seconds)
{
    const auto frames = static_cast<std::size_t>(seconds * kRate);
    samples_.assign(frames * kChannels, 0.0f);
    cycles_.resize(frames / 16 + 1);
    feed_ = Open("mgl-feed");
    rec_ = Open("mgl-rec");
    if (!Ok())
        return;
    feedOut_ = jack_port_register(feed_, "out", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
    for (int c = 0; c < kChannels; ++c)
        recIn_[c] = jack_port_register(rec_, ("in_" + std::to_string(c + 1)).c_str(), JACK_DEFAULT_AUDIO_TYPE,
                                       JackPortIsInput, 0);
    jack_set_process_callback(feed_, Feed, this);
    jack_set_process_callback(rec_, Rec, this);
    jack_set_xrun_callback(rec_, Xrun, this);
    jack_activate(feed_);
    jack_activate(rec_);
    jack_connect(rec_, "mgl-feed:out", "mgl-rec:in_1");
}

Rig::~Rig()
{
    for (jack_client_t* client : {feed_, rec_})
        if (client)
            jack_client_close(client);
}

bool Rig::LiveConnected(const std::string& name) const
{
    jack_port_t* in = jack_port_by_name(rec_, (name + ":in_1").c_str());
    return in && jack_port_connected(in) > 0 && jack_port_connected(recIn_[1]) > 0 &&
           jack_port_connected(recIn_[2]) > 0;
}

void Rig::Record(bool on)
{
    recording_.store(on);
    if (!on)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

void Rig::Restart()
{
    written_.store(0);
    cycleCount_.store(0);
}

void Rig::Play(double frequency, double amplitude)
{
    frequency_.store(frequency);
    amplitude_.store(amplitude);
}

bool Rig::WaitForFrames(std::int64_t frames, std::chrono::milliseconds timeout) const
{
    return WaitUntil([&] { return Frames() >= frames; }, timeout);
}

int Rig::Feed(jack_nframes_t frames, void* self)
{
    auto& rig = *static_cast<Rig*>(self);
    auto* out = static_cast<float*>(jack_port_get_buffer(rig.feedOut_, frames));
    const double step = 2.0 * M_PI * rig.frequency_.load() / kRate;
    const double amplitude = rig.amplitude_.load();
    for (jack_nframes_t i = 0; i < frames; ++i) {
        Shared(out[i]).store(static_cast<float>(amplitude * std::sin(rig.phase_)), std::memory_order_relaxed);
        rig.phase_ = std::fmod(rig.phase_ + step, 2.0 * M_PI);
    }
    return 0;
}

int Rig::Rec(jack_nframes_t frames, void* self)
{
    auto& rig = *static_cast<Rig*>(self);
    if (!rig.recording_.load())
        return 0;
    const std::int64_t start = rig.written_.load();
    const int cycle = rig.cycleCount_.load();
    if (static_cast<std::size_t>((start + frames) * kChannels) > rig.samples_.size() ||
        static_cast<std::size_t>(cycle) >= rig.cycles_.size())
        return 0;
    for (int c = 0; c < kChannels; ++c) {
        auto* in = static_cast<float*>(jack_port_get_buffer(rig.recIn_[c], frames));
        for (jack_nframes_t i = 0; i < frames; ++i)
            rig.samples_[static_cast<std::size_t>((start + i) * kChannels + c)] =
                Shared(in[i]).load(std::memory_order_relaxed);
    }
    rig.cycles_[static_cast<std::size_t>(cycle)] = Cycle{start, static_cast<int>(frames), rig.xruns_.load()};
    rig.cycleCount_.store(cycle + 1);
    rig.written_.store(start + frames);
    return 0;
}

int Rig::Xrun(void* self)
{
    static_cast<Rig*>(self)->xruns_.fetch_add(1);
    return 0;
}

std::vector<Cycle> Rig::Cycles() const
{
    return std::vector<Cycle>(cycles_.begin(), cycles_.begin() + cycleCount_.load());
}

std::vector<float> Rig::Channel(int channel) const
{
    std::vector<float> out(static_cast<std::size_t>(Frames()));
    for (std::int64_t i = 0; i < Frames(); ++i)
        out[static_cast<std::size_t>(i)] = At(i, channel);
    return out;
}

double BypassedShare(Rig& rig)
{
    rig.Restart();
    rig.Record(true);
    EXPECT_TRUE(rig.WaitForFrames(19200, std::chrono::seconds(20)));
    rig.Record(false);
    int bypassed = 0, clean = 0;
    const auto cycles = rig.Cycles();
    for (const auto& cycle : cycles) {
        if (cycle.xruns != cycles.front().xruns)
            continue;
        bool same = true;
        for (std::int64_t i = cycle.start; i < cycle.start + cycle.frames; ++i)
            same = same && rig.At(i, 1) == rig.At(i, 0);
        bypassed += same;
        ++clean;
    }
    return clean ? double(bypassed) / clean : -1.0;
}

} // namespace mg::livetest
