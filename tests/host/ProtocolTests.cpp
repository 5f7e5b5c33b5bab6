// The host side of the conversation, watched from inside a probe plug-in:
// call order, the answers of the host callback, the time info, each process
// call, programs, parameters, state chunks and preset files.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "HostTestSupport.h"

namespace mg::hosttest {
namespace {

constexpr int kRate = 44100;
constexpr long long kFrames = 1000;

class HostProtocol : public ::testing::Test {
protected:
    void SetUp() override { WriteSine(in_, 1, kRate, kFrames, SF_FORMAT_WAV | SF_FORMAT_FLOAT); }

    RunResult Render(std::vector<std::string> options)
    {
        std::vector<std::string> args{"render", MG_PROBE_PATH, in_, out_};
        args.insert(args.end(), options.begin(), options.end());
        return RunHost(args, {"MG_PROBE_LOG=" + log_});
    }

    // Output 0 must be the input times `gain`, output 1 the running sample
    // position the host reported.
    void ExpectOutput(float gain)
    {
        const Audio in = ReadAudio(in_);
        const Audio out = ReadAudio(out_);
        ASSERT_EQ(out.channels, 2);
        ASSERT_EQ(out.Frames(), kFrames);
        int wrongPos = 0;
        float worst = 0.0f;
        for (long long i = 0; i < kFrames; ++i) {
            wrongPos += out.At(i, 1) != static_cast<float>(i) ? 1 : 0;
            worst = std::max(worst, std::fabs(out.At(i, 0) - gain * in.At(i, 0)));
        }
        EXPECT_EQ(wrongPos, 0);
        EXPECT_LT(worst, 1e-6f);
    }

    TempDir dir_;
    std::string in_ = dir_ / "in.wav";
    std::string out_ = dir_ / "out.wav";
    std::string log_ = dir_ / "probe.log";
};

TEST_F(HostProtocol, CallsComeInHostOrderAndTheCallbackAnswers)
{
    const std::string state = dir_ / "state.bin";
    std::ofstream(state) << "gain=0.1000";
    const RunResult r = Render({"--block", "256", "--program", "1", "--param", "Gain=0.5", "--state-in", state,
                                "--state-out", dir_ / "saved.bin", "--quiet"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ReadText(log_), "entry version 2400 product mg-host vendor tonewrights vendor version 1000 can do time 1\n"
                              "open\n"
                              "sample rate 44100\n"
                              "block size 256\n"
                              "precision 0\n"
                              "set chunk 0 11\n"
                              "program 1\n"
                              "param 0 0.500\n"
                              "mains 1\n"
                              "host rate 44100 block 256\n"
                              "start\n"
                              "process replacing level 2\n"
                              "stop\n"
                              "mains 0\n"
                              "get chunk 0\n"
                              "close\n");
    EXPECT_EQ(ReadText(dir_ / "saved.bin"), "gain=0.5000");
}

TEST_F(HostProtocol, EveryCallbackSeesTheTransportAdvanceBlockByBlock)
{
    // 1000 frames in blocks of 300: three full blocks and a short one. The
    // accumulating call adds onto its outputs, so any leftover shows too.
    for (const std::string callback : {"replacing", "accumulating", "double"}) {
        SCOPED_TRACE(callback);
        std::filesystem::remove(log_);
        const RunResult r = Render({"--block", "300", "--callback", callback});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        ExpectOutput(1.0f);
        const std::string log = ReadText(log_);
        EXPECT_NE(log.find("process " + callback + " level 2\n"), std::string::npos) << log;
        EXPECT_NE(log.find(callback == "double" ? "precision 1\n" : "precision 0\n"), std::string::npos) << log;
    }
}

TEST_F(HostProtocol, ProgramComesBeforeParametersAndStateRoundTrips)
{
    ASSERT_EQ(Render({"--program", "1"}).exitCode, 0);
    ExpectOutput(0.5f);
    ASSERT_EQ(Render({"--program", "1", "--param", "Gain=0.5"}).exitCode, 0);
    ExpectOutput(1.0f);
    ASSERT_EQ(Render({"--param", "1=1"}).exitCode, 0); // by index: Phase
    ExpectOutput(-1.0f);

    const std::string state = dir_ / "state.bin";
    ASSERT_EQ(Render({"--param", "Gain=0.125", "--state-out", state}).exitCode, 0);
    ASSERT_EQ(Render({"--state-in", state}).exitCode, 0);
    ExpectOutput(0.25f);
}

TEST_F(HostProtocol, PresetFilesLoadAfterTheProgramAndBeforeParameters)
{
    const std::string preset = dir_ / "saved.fxp";
    ASSERT_EQ(Render({"--param", "Gain=0.125", "--preset-out", preset}).exitCode, 0);
    std::filesystem::remove(log_);
    ASSERT_EQ(Render({"--program", "1", "--preset-in", preset}).exitCode, 0);
    ExpectOutput(0.25f);
    EXPECT_NE(ReadText(log_).find("program 1\nset chunk 1 11\nmains 1\n"), std::string::npos) << ReadText(log_);
    ASSERT_EQ(Render({"--preset-in", preset, "--param", "Gain=0.5"}).exitCode, 0);
    ExpectOutput(1.0f);

    // Refused before anything is rendered: another plug-in's file, a name
    // that says neither kind.
    std::filesystem::remove(out_);
    const RunResult other = Render({"--preset-in", std::string(MG_PRESET_DATA) + "/marrowgrit.fxp"});
    EXPECT_EQ(other.exitCode, 1);
    EXPECT_EQ(CountLines(other.err), 1) << other.err;
    EXPECT_NE(other.err.find("'kbq7' (0x6b627137), not for this one, 'MgPr' (0x4d675072)"), std::string::npos)
        << other.err;
    const RunResult badName = Render({"--preset-out", dir_ / "saved.preset"});
    EXPECT_EQ(badName.exitCode, 1);
    EXPECT_NE(badName.err.find("must end in .fxp"), std::string::npos) << badName.err;
    EXPECT_FALSE(std::filesystem::exists(out_));
}

TEST_F(HostProtocol, InfoPrintsTheStableFormat)
{
    const RunResult r = RunHost({"info", MG_PROBE_PATH});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, std::string("file: ") + MG_PROBE_PATH + "\n"
                     "name: Host Probe\n"
                     "vendor: Marrow-Grit tests\n"
                     "product: Probe\n"
                     "unique id: 1298616434 'MgPr'\n"
                     "version: 3\n"
                     "vendor version: 7\n"
                     "vst version: 2400\n"
                     "category: 1\n"
                     "flags: 0x00001030 CanReplacing ProgramChunks CanDoubleReplacing\n"
                     "inputs: 1\n"
                     "outputs: 2\n"
                     "initial delay: 0\n"
                     "parameters: 2\n"
                     "  [0] Gain = 1.00 x\n"
                     "  [1] Phase = normal\n"
                     "programs: 3\n"
                     "  [0] Clean\n"
                     "  [1] Push\n"
                     "  [2] Broken\n"
                     "editor: no\n");
}

TEST_F(HostProtocol, ABareFileNameMeansTheCurrentFolder)
{
    const std::filesystem::path probe = MG_PROBE_PATH;
    const RunResult r = RunHost({"info", probe.filename().string()}, {}, probe.parent_path().string());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("name: Host Probe\n"), std::string::npos);
}

TEST_F(HostProtocol, VerboseCountsTheEditGesture)
{
    const RunResult r = Render({"--verbose"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("automate=1 begin edit=1 end edit=1"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("rendered 1000 frames"), std::string::npos) << r.err;
}

TEST_F(HostProtocol, ProgressShowsForLongInputsUnlessQuiet)
{
    const std::string longIn = dir_ / "long.wav";
    WriteSine(longIn, 1, 8000, 8000 * 25, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const RunResult loud = RunHost({"render", MG_PROBE_PATH, longIn, out_});
    ASSERT_EQ(loud.exitCode, 0) << loud.err;
    EXPECT_EQ(CountLines(loud.err), 10) << loud.err; // every 10% when stderr is no terminal
    EXPECT_NE(loud.err.find("rendering 100%\n"), std::string::npos);

    EXPECT_EQ(RunHost({"render", MG_PROBE_PATH, longIn, out_, "--quiet"}).err, "");
    EXPECT_EQ(Render({}).err, ""); // short input: no progress
}

} // namespace
} // namespace mg::hosttest
