// What a user gets for a wrong call: a non-zero exit, one line on stderr
// saying what is wrong, and no half-written output.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <dlfcn.h>
#include <sys/resource.h>
#include <filesystem>
#include <fstream>

#include "HostTestSupport.h"

namespace mg::hosttest {
namespace {

// The C library: a real shared library that is no plug-in.
std::string LibcPath()
{
    Dl_info info{};
    dladdr(reinterpret_cast<void*>(&puts), &info);
    return info.dli_fname ? info.dli_fname : "";
}

TEST(HostErrors, EveryMistakeGetsOneLineAndANonZeroExit)
{
    TempDir dir;
    const std::string in = dir / "in.wav";
    const std::string out = dir / "out.wav";
    const std::string text = dir / "notes.txt";
    WriteSine(in, 1, 44100, 4410, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    std::ofstream(text) << "not a plug-in, not audio\n";
    const std::string probe = MG_PROBE_PATH;

    const struct {
        std::vector<std::string> args;
        int exitCode;
        std::string says;
    } cases[] = {
        {{"info", dir / "missing.so"}, 1, "does not exist"},
        {{"info", text}, 1, "cannot load plug-in"},
        {{"info", LibcPath()}, 1, "exports neither VSTPluginMain nor main"},
        {{"info", MG_PROBE_NULL_PATH}, 1, "returned no effect"},
        {{"info", MG_PROBE_MAGIC_PATH}, 1, "wrong magic 0x12345678"},
        {{"render", probe, dir / "missing.wav", out}, 1, "No such file"},
        {{"render", probe, text, out}, 1, "unsupported or damaged audio file"},
        {{"render", probe, in, dir / "out.mp3"}, 1, "unsupported output format '.mp3'"},
        {{"render", probe, in, dir / "out.flac", "--format", "float"}, 1, "FLAC cannot hold float"},
        {{"render", probe, in, in}, 1, "is the input file"},
        {{"render", probe, in, out, "--param", "Volume=0.5"}, 1, "unknown parameter 'Volume'"},
        {{"render", probe, in, out, "--param", "gain=0.5"}, 1, "unknown parameter 'gain'"},
        {{"render", probe, in, out, "--param", "7=0.5"}, 1, "out of range"},
        {{"render", probe, in, out, "--param", "Gain=loud"}, 2, "'loud' for parameter 'Gain' is not a number"},
        {{"render", probe, in, out, "--param", "Gain=1.5"}, 2, "outside 0..1"},
        {{"render", probe, in, out, "--param", "Gain"}, 2, "NAME=VALUE"},
        {{"render", probe, in, out, "--program", "3"}, 1, "program 3 is out of range"},
        {{"render", probe, in, out, "--state-in", dir / "none.bin"}, 1, "cannot read state file"},
        {{"render", probe, in, out, "--block", "0"}, 2, "--block"},
        {{"render", probe, in, out, "--callback", "fast"}, 2, "--callback"},
        {{"render", probe, in, out, "--tail", "-1"}, 2, "--tail"},
        {{"render", probe, in, out, "--loud"}, 2, "unknown option '--loud'"},
        {{"render", probe, in}, 2, "PLUGIN IN OUT"},
        {{"render", probe, in, out, "--block"}, 2, "needs a value"},
        {{"render", probe, in, out, "--state-out", ""}, 2, "--state-out needs a non-empty value"},
        {{"render", probe, in, out, "--preset-out="}, 2, "--preset-out needs a non-empty value"},
        {{"render", probe, in, "--"}, 2, "PLUGIN IN OUT"},
        {{"frobnicate"}, 2, "unknown command"},
        {{}, 2, "no command"},
    };
    for (const auto& c : cases) {
        std::string call;
        for (const auto& a : c.args)
            call += a + " ";
        SCOPED_TRACE(call);
        const RunResult r = RunHost(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(CountLines(r.err), 1) << r.err;
        EXPECT_EQ(r.err.rfind("mg-host: error: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(std::filesystem::exists(out));
    }
    EXPECT_TRUE(std::filesystem::exists(in)); // not overwritten by "render probe in in"
    EXPECT_EQ(ReadAudio(in).Frames(), 4410);
}

// libsndfile ends a damaged or cut file early as if it were the end: a render
// of part of the input must not pass for the whole.
TEST(HostErrors, CutOrDamagedInputFailsAtItsFrameAndLeavesNoOutput)
{
    TempDir dir;
    const std::string whole = dir / "whole.flac";
    WriteSine(whole, 1, 48000, 96000, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 440.0, 0.5);
    std::string bytes = ReadText(whole);
    const std::string cut = bytes.substr(0, bytes.size() / 2);
    for (std::size_t i = 0; i < 200; ++i)
        bytes[bytes.size() / 2 + i] = static_cast<char>(i * 37);
    std::ofstream(dir / "cut.flac", std::ios::binary) << cut;
    std::ofstream(dir / "damaged.flac", std::ios::binary) << bytes;

    for (const char* name : {"cut.flac", "damaged.flac"}) {
        SCOPED_TRACE(name);
        const RunResult r = RunHost({"render", MG_PROBE_PATH, dir / name, dir / "out.wav"});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(CountLines(r.err), 1) << r.err;
        EXPECT_NE(r.err.find("cannot read input '" + dir / name + "' at frame "), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "out.wav"));
    }
    EXPECT_EQ(RunHost({"render", MG_PROBE_PATH, whole, dir / "out.wav"}).exitCode, 0);
}

// A write that fails halfway (here at a file-size limit of 0, as on a full
// disk) must leave the state file that was there.
TEST(HostErrors, AFailedStateSaveKeepsTheOldFile)
{
#if defined(__SANITIZE_THREAD__)
    // The thread checker's runtime writes a file of its own as a program
    // starts, so under a limit of 0 every program dies before its main.
    GTEST_SKIP() << "no program of this build starts under a file-size limit of 0";
#endif
    TempDir dir;
    const std::string in = dir / "in.wav";
    const std::string state = dir / "state.bin";
    WriteSine(in, 1, 44100, 441, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    // The output goes nowhere, so only the state meets the limit.
    std::filesystem::create_symlink("/dev/null", dir / "out.wav");
    const std::vector<std::string> args = {"render", MG_PROBE_PATH, in, dir / "out.wav", "--state-out", state};
    ASSERT_EQ(RunHost(args).exitCode, 0);
    std::ofstream(state) << "gain=0.1000";

    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit none = before;
    none.rlim_cur = 0;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &none), 0);
    const RunResult r = RunHost(args); // inherits the limit; this process writes nothing meanwhile
    setrlimit(RLIMIT_FSIZE, &before);

    EXPECT_EQ(r.exitCode, 1) << "reported, not killed by SIGXFSZ";
    EXPECT_EQ(ReadText(state), "gain=0.1000");
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir / ""))
        ++entries;
    EXPECT_EQ(entries, 3u) << "a temporary file was left behind";
}

TEST(HostErrors, HelpDocumentsTheInfoFormat)
{
    for (const auto& args : {std::vector<std::string>{"--help"}, std::vector<std::string>{"render", "--help"}}) {
        const RunResult r = RunHost(args);
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_NE(r.out.find("[i] Name = display label"), std::string::npos);
        EXPECT_NE(r.out.find("channel 1"), std::string::npos);
        EXPECT_NE(r.out.find("--callback"), std::string::npos);
    }
}

} // namespace
} // namespace mg::hosttest
