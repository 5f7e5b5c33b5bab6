// mg-live run as a user runs it, against a private JACK server on the dummy
// driver: what it plays, what it keeps between runs, and how it fails.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <signal.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "HostTestSupport.h"
#include "LiveRig.h"
#include "X11TestHost.h"

using namespace std::chrono_literals;
using mg::hosttest::TempDir;
using mg::livetest::Child;
using mg::livetest::Rig;

namespace {

const std::string kName = "mgl-live";

std::vector<std::string> LiveArgs(std::vector<std::string> extra)
{
    std::vector<std::string> args = {MG_LIVE_PATH, PEDAL_PATH, "--no-gui", "--name", kName};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

std::vector<std::string> RigPorts()
{
    return {"--in", "mgl-feed:out", "--out", "mgl-rec:in_2", "--out", "mgl-rec:in_3"};
}

std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void WriteMono(const std::string& path, const std::vector<float>& samples)
{
    SF_INFO info{};
    info.channels = 1;
    info.samplerate = 48000;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
}

class Live : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!server_.Running()) {
            if (mg::test::InCi())
                FAIL() << "CI must run the mg-live tests: " << server_.Problem();
            GTEST_SKIP() << server_.Problem();
        }
    }

    std::vector<std::string> Env() const { return {"XDG_CONFIG_HOME=" + dir_ / "config", "DISPLAY="}; }

    std::unique_ptr<Child> Start(const std::vector<std::string>& extra, const std::string& err = "err.txt")
    {
        return std::make_unique<Child>(LiveArgs(extra), Env(), dir_ / err);
    }

    // Set up, connected and playing.
    static bool WaitForPlaying(Child& live)
    {
        return mg::livetest::WaitUntil([&] { return live.Err().find("mg-live: playing") != std::string::npos; }, 20s);
    }

    std::filesystem::path StateFile(const std::string& suffix = ".fxp") const
    {
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(dir_ / "config/mg-live", ec))
            if (entry.path().extension() == suffix)
                return entry.path();
        return {};
    }

    mg::livetest::JackServer server_;
    TempDir dir_;
};

} // namespace

TEST_F(Live, PlaysWhatRenderPlaysCycleForCycleAndFollowsABufferSizeChange)
{
    Rig rig(6.0);
    ASSERT_TRUE(rig.Ok());
    auto args = RigPorts();
    for (const char* p : {"--fresh", "--param", "Level=0.7", "--param", "Attack=0.3"})
        args.push_back(p);
    auto live = Start(args);
    ASSERT_TRUE(mg::livetest::WaitUntil([&] { return rig.LiveConnected(kName); }, 20s)) << live->Err();

    // A quarter second of silence, then the tone.
    constexpr std::int64_t kLeadIn = 9600;
    rig.Record(true);
    ASSERT_TRUE(rig.WaitForFrames(kLeadIn, 10s));
    rig.Play(196.0, 0.4);
    ASSERT_TRUE(rig.WaitForFrames(kLeadIn + 96000, 20s));
    rig.Record(false);

    // A period the rig saw before any xrun was played by mg-live just as
    // mg-host renders it in blocks of the same size.
    WriteMono(dir_ / "in.wav", rig.Channel(0));
    const auto render = mg::hosttest::RunHost(
        {"render", PEDAL_PATH, dir_ / "in.wav", dir_ / "out.wav", "--block", "256", "--param", "Level=0.7",
         "--param", "Attack=0.3"});
    ASSERT_EQ(render.exitCode, 0) << render.err;
    const auto rendered = mg::hosttest::ReadAudio(dir_ / "out.wav");
    ASSERT_EQ(rendered.Frames(), rig.Frames());
    // mg-live has been playing silence since it connected, while the render
    // starts from a fresh pedal: the silence recorded before the tone lets
    // the render's start settle, so periods are held to equality from the
    // tone on. Equality up to the pedal's anti-denormal noise: mg-live has
    // read that table from another place than the render, and near a zero
    // crossing the noise can move an output's last bits, or tip the
    // clipper's jump the other way for a few periods. A fault of the host
    // (a lost, doubled or misplaced block) makes most periods differ.
    constexpr float kNoiseFloor = 1.0e-6f;
    int same = 0, differing = 0, sounding = 0;
    std::int64_t firstDiff = -1;
    for (const auto& cycle : rig.Cycles()) {
        bool equal = cycle.frames == 256;
        bool loud = false;
        for (std::int64_t i = cycle.start; i < cycle.start + cycle.frames; ++i)
            for (int c = 0; c < 2; ++c) {
                equal = equal && std::fabs(rig.At(i, 1 + c) - rendered.At(i, c)) <= kNoiseFloor;
                loud = loud || std::fabs(rig.At(i, 1 + c)) > 0.01f;
            }
        same += equal;
        sounding += equal && loud;
        if (!equal && cycle.xruns == 0 && cycle.start >= kLeadIn) {
            if (firstDiff < 0) firstDiff = cycle.start;
            ++differing;
        }
    }
    EXPECT_LE(differing, static_cast<int>(rig.Cycles().size() / 50))
        << "periods that differ with no xrun to blame, the first at frame " << firstDiff;
    EXPECT_GE(sounding, 20) << same << " equal periods of " << rig.Cycles().size();

    // A smaller period while playing: mg-live goes on at the new size.
    ASSERT_EQ(jack_set_buffer_size(rig.Client(), 128), 0);
    ASSERT_TRUE(mg::livetest::WaitUntil([&] { return jack_get_buffer_size(rig.Client()) == 128; }, 10s));
    rig.Restart();
    rig.Record(true);
    ASSERT_TRUE(rig.WaitForFrames(24000, 20s));
    rig.Record(false);
    ASSERT_FALSE(live->Exited()) << live->Err();
    double sum = 0.0;
    for (std::int64_t i = 0; i < rig.Frames(); ++i)
        sum += double(rig.At(i, 1)) * double(rig.At(i, 1));
    EXPECT_GT(std::sqrt(sum / double(rig.Frames())), 0.01) << "mg-live is silent after the change";
    for (const auto& cycle : rig.Cycles())
        ASSERT_EQ(cycle.frames, 128);

    live->Signal(SIGTERM);
    EXPECT_EQ(live->Wait(), 0) << live->Err();
}

TEST_F(Live, KeepsTheStateOverSigtermAndServerShutdown)
{
    Rig rig(0.1); // a client to see mg-live's ports with
    ASSERT_TRUE(rig.Ok());
    auto run = [&](std::vector<std::string> extra, bool stopServer = false) {
        extra.push_back("--no-connect");
        auto live = Start(extra);
        EXPECT_TRUE(WaitForPlaying(*live)) << live->Err();
        if (stopServer)
            server_.Stop();
        else
            live->Signal(SIGTERM);
        const int status = live->Wait();
        EXPECT_EQ(status, stopServer ? 1 : 0) << live->Err();
        // The next run must not meet this one's ports.
        mg::livetest::WaitUntil([&] { return !jack_port_by_name(rig.Client(), (kName + ":out_1").c_str()); }, 5s);
        return live->Err();
    };

    run({"--fresh", "--param", "Level=0.8", "--param", "Effect=0"});
    const std::filesystem::path state = StateFile();
    ASSERT_FALSE(state.empty()) << "no state saved under XDG_CONFIG_HOME";
    const std::string first = ReadBytes(state);

    run({"--save", dir_ / "restored.fxp"});
    EXPECT_EQ(ReadBytes(dir_ / "restored.fxp"), first) << "the next start restores the state";
    run({"--fresh", "--save", dir_ / "fresh.fxp"});
    EXPECT_NE(ReadBytes(dir_ / "fresh.fxp"), first) << "--fresh starts from the defaults";
    run({"--load", dir_ / "restored.fxp", "--save", dir_ / "loaded.fxp"});
    EXPECT_EQ(ReadBytes(dir_ / "loaded.fxp"), first);

    const std::string err = run({"--param", "Level=0.2"}, true);
    EXPECT_NE(err.find("JACK server went away"), std::string::npos) << err;
    EXPECT_NE(ReadBytes(state), first) << "the state at the server's end is kept";
}

TEST_F(Live, RefusesClearlyWithoutServerOrPlugin)
{
    Child noServer(LiveArgs({"--no-connect"}), {"JACK_DEFAULT_SERVER=mg-live-test-none", "DISPLAY="},
                   dir_ / "none.txt");
    EXPECT_EQ(noServer.Wait(10s), 1);
    EXPECT_EQ(noServer.Err(), "mg-live: error: no JACK server is running (start one with jackd, or use "
                              "PipeWire's JACK)\n");

    Child badPlugin({MG_LIVE_PATH, dir_ / "nothing.so", "--no-gui"}, Env(), dir_ / "bad.txt");
    EXPECT_EQ(badPlugin.Wait(10s), 1);
    EXPECT_NE(badPlugin.Err().find("does not exist"), std::string::npos) << badPlugin.Err();
}

TEST_F(Live, LauncherPlaysThePedalInstalledBesideIt)
{
    // An installed layout, reached through a link from elsewhere on PATH.
    const std::filesystem::path prefix = dir_ / "prefix";
    std::filesystem::create_directories(prefix / "bin");
    std::filesystem::create_directories(prefix / "lib/vst");
    std::filesystem::create_directories(dir_ / "elsewhere");
    std::filesystem::copy_file(MG_LAUNCHER_PATH, prefix / "bin/marrow-grit");
    std::filesystem::create_symlink(MG_LIVE_PATH, prefix / "bin/mg-live");
    std::filesystem::create_symlink(PEDAL_PATH, prefix / "lib/vst/MarrowGrit.so");
    std::filesystem::create_symlink(prefix / "bin/marrow-grit", dir_ / "elsewhere/marrow-grit");

    Child live({dir_ / "elsewhere/marrow-grit", "--no-gui", "--no-connect", "--fresh"}, Env(), dir_ / "err.txt");
    ASSERT_TRUE(WaitForPlaying(live)) << live.Err();
    EXPECT_NE(live.Err().find("Marrow-Grit"), std::string::npos) << live.Err();
    live.Signal(SIGTERM);
    EXPECT_EQ(live.Wait(), 0) << live.Err();
}

// With the probe plug-in, which logs what mg-live asks of it.
std::vector<std::string> ProbeArgs()
{
    return {MG_LIVE_PATH, MG_PROBE_PATH, "--no-gui", "--no-connect", "--name", kName};
}

// Closing the terminal saves the state as Ctrl+C does; a state file that
// did not load is kept aside, not overwritten; a state that cannot be saved
// still lets --save write its file, and both outcomes are said.
TEST_F(Live, KeepsWhatItCannotLoadAndSavesOnHangup)
{
    const std::filesystem::path state = dir_ / "config/mg-live/MgPr.fxp";
    std::filesystem::create_directories(state.parent_path());
    std::ofstream(state) << "a state from a newer version";
    Child hangup(ProbeArgs(), Env(), dir_ / "hup.txt");
    ASSERT_TRUE(WaitForPlaying(hangup)) << hangup.Err();
    hangup.Signal(SIGHUP);
    EXPECT_EQ(hangup.Wait(), 0) << hangup.Err();
    EXPECT_NE(hangup.Err().find("is kept as '" + state.string() + ".bad'"), std::string::npos) << hangup.Err();
    EXPECT_EQ(ReadBytes(state.string() + ".bad"), "a state from a newer version");
    EXPECT_EQ(ReadBytes(state).substr(0, 4), "CcnK") << "the state at the hangup is saved";

    // No folder can be made for the state where a file is in the way.
    std::filesystem::remove_all(state.parent_path());
    std::ofstream(state.parent_path().string()) << "in the way";
    auto args = ProbeArgs();
    args.insert(args.end(), {"--save", dir_ / "asked.fxp"});
    Child blocked(args, Env(), dir_ / "blocked.txt");
    ASSERT_TRUE(WaitForPlaying(blocked)) << blocked.Err();
    blocked.Signal(SIGTERM);
    EXPECT_EQ(blocked.Wait(), 1) << blocked.Err();
    EXPECT_NE(blocked.Err().find("error: cannot make the folder"), std::string::npos) << blocked.Err();
    EXPECT_EQ(ReadBytes(dir_ / "asked.fxp").substr(0, 4), "CcnK") << "--save is written all the same";
}

// A plug-in that cannot take the server's new period ends the session with
// a message and its state saved, instead of playing silence for ever; and
// a stop while the server does not answer ends the program.
TEST_F(Live, SaysWhenThePluginCannotFollowTheServerAndStopsWhileConnecting)
{
    Rig rig(0.1);
    ASSERT_TRUE(rig.Ok());
    auto env = Env();
    env.push_back("MG_PROBE_GROW=1");
    Child live(ProbeArgs(), env, dir_ / "grow.txt");
    ASSERT_TRUE(WaitForPlaying(live)) << live.Err();
    ASSERT_EQ(jack_set_buffer_size(rig.Client(), 128), 0);
    EXPECT_EQ(live.Wait(), 1) << live.Err();
    EXPECT_NE(live.Err().find("error: the server's new settings (48000 Hz, 128 frames) failed: the plug-in changed "
                              "its number of inputs or outputs"),
              std::string::npos)
        << live.Err();
    EXPECT_EQ(ReadBytes(dir_ / "config/mg-live/MgPr.fxp").substr(0, 4), "CcnK");

    server_.Freeze(true);
    Child waiting(ProbeArgs(), Env(), dir_ / "frozen.txt");
    std::this_thread::sleep_for(1s);
    waiting.Signal(SIGINT);
    const int status = waiting.Wait(10s);
    server_.Freeze(false);
    EXPECT_EQ(status, 1) << waiting.Err();
    EXPECT_NE(waiting.Err().find("stopped while connecting"), std::string::npos) << waiting.Err();
}

// The pedal's VST 3 and CLAP builds as the VST 2.4 one: the sound through
// JACK, the state (the effect switched off) kept in the format's own file
// from one run to the next, and a damaged file set aside for the defaults.
TEST_F(Live, PlaysTheVst3AndClapBuildsAndKeepsTheirState)
{
    const std::vector<std::pair<std::string, std::string>> builds = {
#ifdef MG_LIVE_VST3_PEDAL
        {MG_LIVE_VST3_PEDAL, ".vst3state"},
#endif
#ifdef MG_LIVE_CLAP_PEDAL
        {MG_LIVE_CLAP_PEDAL, ".clapstate"},
#endif
    };
    if (builds.empty())
        GTEST_SKIP() << "no VST 3 or CLAP build of the pedal";
    Rig rig(1.0);
    ASSERT_TRUE(rig.Ok());
    rig.Play(196.0, 0.4);
    for (const auto& [pedal, suffix] : builds) {
        SCOPED_TRACE(pedal);
        // The share of bypassed periods while it plays, connected to the rig.
        auto run = [&](std::vector<std::string> extra) {
            std::vector<std::string> args = {MG_LIVE_PATH, pedal, "--no-gui", "--name", kName};
            for (auto list : {RigPorts(), extra})
                args.insert(args.end(), list.begin(), list.end());
            Child live(args, Env(), dir_ / "err.txt");
            EXPECT_TRUE(mg::livetest::WaitUntil([&] { return rig.LiveConnected(kName); }, 20s)) << live.Err();
            const double share = mg::livetest::BypassedShare(rig);
            live.Signal(SIGTERM);
            EXPECT_EQ(live.Wait(), 0) << live.Err();
            mg::livetest::WaitUntil([&] { return !jack_port_by_name(rig.Client(), (kName + ":out_1").c_str()); }, 5s);
            return std::pair{share, live.Err()};
        };

        EXPECT_LT(run({"--fresh"}).first, 0.1) << "the fuzz plays";
        const std::filesystem::path state = StateFile(suffix);
        ASSERT_FALSE(state.empty()) << "no " << suffix << " file saved under XDG_CONFIG_HOME";
        const std::string defaults = ReadBytes(state);
        EXPECT_GT(run({"--param", "Effect=0"}).first, 0.9) << "bypassed";
        const std::string off = ReadBytes(state);
        EXPECT_NE(off, defaults);
        EXPECT_GT(run({}).first, 0.9) << "the next run restores the effect switched off";
        EXPECT_EQ(ReadBytes(state), off);

        std::ofstream(state, std::ios::trunc) << "not a state";
        const auto [share, err] = run({});
        EXPECT_LT(share, 0.1) << "a damaged state gives the defaults";
        EXPECT_NE(err.find("is kept as '" + state.string() + ".bad'"), std::string::npos) << err;
        EXPECT_EQ(ReadBytes(state.string() + ".bad"), "not a state");
        EXPECT_EQ(ReadBytes(state), defaults);
        std::filesystem::remove_all(dir_ / "config");
    }
}
