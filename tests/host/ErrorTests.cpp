// What a user gets for a wrong call: a non-zero exit, one line on stderr
// saying what is wrong, and no half-written output.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <dlfcn.h>
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
