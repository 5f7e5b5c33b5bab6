// Preset files between disk and real plug-ins in this process: the pedal
// (parameter lists: 'FxCk', 'FxBk') and the host tests' probe (chunks:
// 'FPCh', 'FBCh').
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>

#include <unistd.h>

#include "AtomicFile.h"
#include "Failure.h"
#include "HostContext.h"
#include "PluginInstance.h"
#include "PresetFile.h"

namespace mg::host {
namespace {

namespace fs = std::filesystem;

struct Loaded {
    explicit Loaded(const char* path) : plugin(path, host) {}
    HostContext host{48000.0, 512};
    PluginInstance plugin;
};

class TempFolder {
public:
    TempFolder() : path_(fs::temp_directory_path() / ("mg-presets-" + std::to_string(std::random_device{}())))
    {
        fs::create_directories(path_);
    }
    ~TempFolder() { fs::remove_all(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    std::size_t Entries() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(path_), {})); }

private:
    fs::path path_;
};

std::vector<std::uint8_t> Bytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void Write(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint32_t> ParameterBits(PluginInstance& plugin)
{
    std::vector<std::uint32_t> bits;
    for (int i = 0; i < plugin.Effect().numParams; ++i)
        bits.push_back(std::bit_cast<std::uint32_t>(plugin.GetParameter(i)));
    return bits;
}

std::vector<std::uint8_t> Chunk(PluginInstance& plugin, vst::int32 index)
{
    vst::intptr answer = 0;
    return plugin.GetChunk(answer, index);
}

void SetParameters(PluginInstance& plugin, std::initializer_list<float> values)
{
    int index = 0;
    for (float value : values)
        plugin.SetParameter(index++, value);
}

std::string Golden(const char* name)
{
    return std::string(MG_PRESET_DATA) + "/" + name;
}

TEST(PresetFiles, PedalProgramAndBankLoadIntoAFreshInstanceBitForBit)
{
    TempFolder dir;
    Loaded saved(MG_PEDAL_PATH);
    saved.plugin.Dispatch(vst::effSetProgram, 0, 3);
    SetParameters(saved.plugin, {0.1f, 0.7f, 0.0f, 1.0f});
    saved.plugin.Dispatch(vst::effSetProgram, 0, 9);
    SetParameters(saved.plugin, {0.3f, 0.8f, 1.0f, 0.0f});
    SavePresetFile(saved.plugin, dir / "a.fxp");
    SavePresetFile(saved.plugin, dir / "a.FXB");
    EXPECT_EQ(ParsePreset(Bytes(dir / "a.fxp")).kind, PresetKind::Program);
    EXPECT_EQ(ParsePreset(Bytes(dir / "a.FXB")).kind, PresetKind::Bank);

    for (const char* name : {"a.fxp", "a.FXB"}) {
        SCOPED_TRACE(name);
        Loaded fresh(MG_PEDAL_PATH);
        LoadPresetFile(fresh.plugin, dir / name);
        EXPECT_EQ(ParameterBits(fresh.plugin), ParameterBits(saved.plugin));
        EXPECT_EQ(Chunk(fresh.plugin, 0), Chunk(saved.plugin, 0));
        SavePresetFile(fresh.plugin, dir / ("again-" + std::string(name)));
        EXPECT_EQ(Bytes(dir / ("again-" + std::string(name))), Bytes(dir / name));
    }
    // The bank brought every program and made the saved one current.
    Loaded fresh(MG_PEDAL_PATH);
    LoadPresetFile(fresh.plugin, dir / "a.FXB");
    EXPECT_EQ(fresh.plugin.Dispatch(vst::effGetProgram), 9);
    fresh.plugin.Dispatch(vst::effSetProgram, 0, 3);
    saved.plugin.Dispatch(vst::effSetProgram, 0, 3);
    EXPECT_EQ(ParameterBits(fresh.plugin), ParameterBits(saved.plugin));
}

TEST(PresetFiles, ChunksLoadIntoAFreshInstanceByteForByte)
{
    TempFolder dir;
    Loaded saved(MG_PROBE_PATH);
    saved.plugin.SetParameter(0, 0.3f);
    SavePresetFile(saved.plugin, dir / "p.fxp");
    SavePresetFile(saved.plugin, dir / "p.fxb");
    EXPECT_EQ(ParsePreset(Bytes(dir / "p.fxp")).kind, PresetKind::ProgramChunk);
    EXPECT_EQ(ParsePreset(Bytes(dir / "p.fxb")).kind, PresetKind::BankChunk);

    const struct {
        const char* name;
        vst::int32 index;
    } cases[] = {{"p.fxp", 1}, {"p.fxb", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Loaded fresh(MG_PROBE_PATH);
        LoadPresetFile(fresh.plugin, dir / c.name);
        EXPECT_EQ(Chunk(fresh.plugin, c.index), Chunk(saved.plugin, c.index));
        EXPECT_EQ(ParameterBits(fresh.plugin), ParameterBits(saved.plugin));
        SavePresetFile(fresh.plugin, dir / ("again-" + std::string(c.name)));
        EXPECT_EQ(Bytes(dir / ("again-" + std::string(c.name))), Bytes(dir / c.name));
    }
}

// The checked-in files were read field by field against the format when
// they were made; the pedal must still load them and save the same bytes.
TEST(PresetFiles, GoldenFilesOfThePedalLoadAndSaveUnchanged)
{
    const Preset program = ParsePreset(Bytes(Golden("marrowgrit.fxp")));
    EXPECT_EQ(program.fxId, 0x6b627137); // 'kbq7'
    EXPECT_EQ(program.name, "Init");
    EXPECT_EQ(program.params, (std::vector<float>{0.3f, 0.8f, 1.0f, 0.0f}));
    const Preset bank = ParsePreset(Bytes(Golden("marrowgrit.fxb")));
    ASSERT_EQ(bank.programs.size(), 16u);
    EXPECT_EQ(bank.currentProgram, 5);
    EXPECT_EQ(bank.programs[5].params, (std::vector<float>{0.25f, 0.5f, 0.0f, 1.0f}));

    TempFolder dir;
    for (const char* name : {"marrowgrit.fxp", "marrowgrit.fxb"}) {
        SCOPED_TRACE(name);
        Loaded fresh(MG_PEDAL_PATH);
        LoadPresetFile(fresh.plugin, Golden(name));
        SavePresetFile(fresh.plugin, dir / name);
        EXPECT_EQ(Bytes(dir / name), Bytes(Golden(name)));
    }
}

std::vector<std::uint8_t> WithWord(std::vector<std::uint8_t> bytes, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
    return bytes;
}

std::vector<std::uint8_t> Cut(std::vector<std::uint8_t> bytes, std::size_t size)
{
    bytes.resize(size);
    return bytes;
}

TEST(PresetFiles, BadFilesAreRefusedAndLeaveThePluginAsItWas)
{
    const auto fxp = Bytes(Golden("marrowgrit.fxp"));
    const auto fxb = Bytes(Golden("marrowgrit.fxb"));
    Preset chunk = ParsePreset(fxp);
    chunk.kind = PresetKind::ProgramChunk;
    chunk.chunk = {1, 2, 3, 4};
    const auto fpch = SerializePreset(chunk);
    Preset threeParams = ParsePreset(fxp);
    threeParams.params.pop_back();
    Preset fifteen = ParsePreset(fxb);
    fifteen.programs.pop_back();
    auto trailing = fxp;
    trailing.push_back(0);
    const std::string text = "This is not a preset file at all.";

    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
        std::string says;
    } cases[] = {
        {"another plug-in's program", WithWord(fxp, 16, 0x4d675072),
         "is for the plug-in with ID 'MgPr' (0x4d675072), not for this one, 'kbq7' (0x6b627137)"},
        {"another plug-in's program in a bank", WithWord(fxb, 156 + 2 * 72 + 16, 0x4d675072),
         "program 2 of the bank is for the plug-in with ID 'MgPr'"},
        {"an empty file", {}, "cut short"},
        {"a header cut short", Cut(fxp, 30), "cut short"},
        {"a parameter list cut short", Cut(fxp, 71), "cut short: the parameter list needs 16 bytes"},
        {"a bank cut short", Cut(fxb, 1000), "cut short"},
        {"a byte after the end", trailing, "1 bytes follow the end"},
        {"a negative parameter count", WithWord(fxp, 24, 0xffffffff), "negative parameter count"},
        {"a program count far past the end", WithWord(fxb, 24, 0x7fffffff), "cut short: the program records"},
        {"a chunk size past the end", WithWord(fpch, 56, 5), "cut short: the chunk needs 5 bytes"},
        {"a negative chunk size", WithWord(fpch, 56, 0x80000000), "negative chunk size"},
        {"a chunk for a plug-in that takes none", fpch, "does not take chunks"},
        {"three parameters for four", SerializePreset(threeParams), "has 3 parameters, the plug-in 4"},
        {"fifteen programs for sixteen", SerializePreset(fifteen), "has 15 programs, the plug-in 16"},
        {"a value above 1", WithWord(fxp, 60, 0x3fc00000), "parameter 1 the value 1.5"},
        {"a value that is no number", WithWord(fxp, 56, 0x7fc00000), "outside 0..1"},
        {"a current program out of range", WithWord(fxb, 28, 16), "current program 16 is out of range"},
        {"an unknown kind", WithWord(fxp, 8, 0x46785858), "unknown preset kind 'FxXX'"},
        {"an unknown version", WithWord(fxp, 12, 3), "unknown program format version 3"},
        {"a record that is no 'FxCk'", WithWord(fxb, 156 + 8, 0x46504368), "program record 0 of the bank is 'FPCh'"},
        {"a text file", std::vector<std::uint8_t>(text.begin(), text.end()), "not a preset file"},
    };

    TempFolder dir;
    Loaded loaded(MG_PEDAL_PATH);
    loaded.plugin.Dispatch(vst::effSetProgram, 0, 2);
    SetParameters(loaded.plugin, {0.6f, 0.1f, 0.0f, 1.0f});
    const auto bankBefore = SerializePreset(CapturePreset(loaded.plugin, true));
    const auto paramsBefore = ParameterBits(loaded.plugin);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir / "bad.fxp";
        Write(path, c.bytes);
        try {
            LoadPresetFile(loaded.plugin, path);
            ADD_FAILURE() << "loaded";
        } catch (const Failure& failure) {
            const std::string message = failure.what();
            EXPECT_NE(message.find(c.says), std::string::npos) << message;
            EXPECT_EQ(message.find('\n'), std::string::npos) << message;
            EXPECT_EQ(message.rfind("preset file '" + path + "': ", 0), 0u) << message;
        }
        EXPECT_EQ(ParameterBits(loaded.plugin), paramsBefore);
        EXPECT_EQ(SerializePreset(CapturePreset(loaded.plugin, true)), bankBefore);
    }
}

TEST(PresetFiles, SavingReplacesWholeFilesAndLeavesNothingElse)
{
    TempFolder dir;
    Loaded loaded(MG_PEDAL_PATH);
    Write(dir / "p.fxp", std::vector<std::uint8_t>(4096, 0xee));
    SavePresetFile(loaded.plugin, dir / "p.fxp");
    EXPECT_EQ(Bytes(dir / "p.fxp").size(), 72u);
    EXPECT_THROW(SavePresetFile(loaded.plugin, dir / "p.txt"), Failure);
    EXPECT_THROW(SavePresetFile(loaded.plugin, dir / "missing/p.fxp"), Failure);
    EXPECT_EQ(dir.Entries(), 1u);
}

template <class Call>
std::string FailureOf(Call&& call)
{
    try {
        call();
    } catch (const Failure& failure) {
        return failure.what();
    }
    return "no failure";
}

// A link planted where a temporary file could go is never followed; a link
// to the preset stays a link and the file it names gets the new contents;
// a kept file keeps its permissions; the longest name a folder takes saves.
TEST(PresetFiles, SavingKeepsLinksPermissionsAndLongNames)
{
    TempFolder dir;
    Loaded loaded(MG_PEDAL_PATH);
    const std::vector<std::uint8_t> victim = {1, 2, 3};
    Write(dir / "victim", victim);
    fs::create_symlink(dir / "victim", dir / (".p.fxp." + std::to_string(getpid()) + ".tmp"));
    SavePresetFile(loaded.plugin, dir / "p.fxp");
    EXPECT_EQ(Bytes(dir / "victim"), victim);
    const auto saved = Bytes(dir / "p.fxp");
    ASSERT_EQ(saved.size(), 72u);

    const auto privateMode = fs::perms::owner_read | fs::perms::owner_write;
    fs::permissions(dir / "p.fxp", privateMode);
    SavePresetFile(loaded.plugin, dir / "p.fxp");
    EXPECT_EQ(fs::status(dir / "p.fxp").permissions() & fs::perms::mask, privateMode);

    fs::create_directory(dir / "kept");
    Write(dir / "kept/real.fxp", victim);
    fs::create_symlink("kept/real.fxp", dir / "link.fxp");
    SavePresetFile(loaded.plugin, dir / "link.fxp");
    EXPECT_TRUE(fs::is_symlink(dir / "link.fxp"));
    EXPECT_EQ(Bytes(dir / "kept/real.fxp"), saved);

    const std::string longest = std::string(251, 'n') + ".fxp";
    SavePresetFile(loaded.plugin, dir / longest);
    EXPECT_EQ(Bytes(dir / longest), saved);
    EXPECT_EQ(dir.Entries(), 6u) << "a temporary file was left behind";
}

// One bounded read: an endless file is refused at the bound, a read error is
// an error and not a shorter file, and every failure says the system's reason.
TEST(PresetFiles, ReadingIsBoundedAndFailuresSayWhy)
{
    EXPECT_NE(FailureOf([] { ReadWholeFile("/dev/zero", 4096, "state file"); }).find("is too large"),
              std::string::npos);
    EXPECT_NE(FailureOf([] { ReadWholeFile("/proc/self/mem", 4096, "state file"); })
                  .find("cannot read state file '/proc/self/mem': Input/output error"),
              std::string::npos);
    TempFolder dir;
    Loaded loaded(MG_PEDAL_PATH);
    EXPECT_NE(FailureOf([&] { SavePresetFile(loaded.plugin, dir / "missing/p.fxp"); })
                  .find("p.fxp': No such file or directory"),
              std::string::npos);
}

} // namespace
} // namespace mg::host
