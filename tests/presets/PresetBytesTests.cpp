// The byte format by itself: what the writer puts where, and that reading
// gives back what was written.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "Failure.h"
#include "PresetBytes.h"

namespace mg::host {
namespace {

std::uint32_t BigEndianAt(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    return (std::uint32_t{bytes[offset]} << 24) | (std::uint32_t{bytes[offset + 1]} << 16) |
           (std::uint32_t{bytes[offset + 2]} << 8) | std::uint32_t{bytes[offset + 3]};
}

Preset Program(std::vector<float> params, const std::string& name)
{
    Preset program;
    program.fxId = 0x41424344;
    program.fxVersion = 7;
    program.name = name;
    program.params = std::move(params);
    return program;
}

TEST(PresetBytes, EveryKindIsWrittenAsTheSheetSaysAndReadsBackTheSame)
{
    Preset fxck = Program({0.25f, 1.0f}, "Lead");
    Preset fpch = fxck;
    fpch.kind = PresetKind::ProgramChunk;
    fpch.params.clear();
    fpch.count = 2;
    fpch.chunk = {1, 2, 3};
    Preset fxbk;
    fxbk.kind = PresetKind::Bank;
    fxbk.formatVersion = 2;
    fxbk.fxId = fxck.fxId;
    fxbk.fxVersion = 7;
    fxbk.currentProgram = 1;
    fxbk.programs = {fxck, Program({0.0f, 0.5f}, "Rhythm")};
    Preset fbch = fxbk;
    fbch.kind = PresetKind::BankChunk;
    fbch.programs.clear();
    fbch.count = 2;
    fbch.chunk = {9, 8, 7, 6, 5};

    const struct {
        const Preset& preset;
        const char* magic;
        std::size_t size;
    } cases[] = {
        {fxck, "FxCk", 56 + 8},
        {fpch, "FPCh", 56 + 4 + 3},
        {fxbk, "FxBk", 156 + 2 * 64},
        {fbch, "FBCh", 156 + 4 + 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.magic);
        const auto bytes = SerializePreset(c.preset);
        ASSERT_EQ(bytes.size(), c.size);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "CcnK");
        EXPECT_EQ(BigEndianAt(bytes, 4), c.size - 8);
        EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 12), c.magic);
        EXPECT_EQ(BigEndianAt(bytes, 16), 0x41424344u);
        EXPECT_EQ(BigEndianAt(bytes, 20), 7u);
        EXPECT_EQ(BigEndianAt(bytes, 24), 2u); // numParams or numPrograms
        const Preset back = ParsePreset(bytes);
        EXPECT_EQ(back.kind, c.preset.kind);
        EXPECT_EQ(back.params, c.preset.params);
        EXPECT_EQ(back.chunk, c.preset.chunk);
        EXPECT_EQ(SerializePreset(back), bytes);
    }
    // A bank's programs are whole program files, each with its own size.
    const auto bank = SerializePreset(fxbk);
    EXPECT_EQ(BigEndianAt(bank, 12), 2u);
    EXPECT_EQ(BigEndianAt(bank, 28), 1u);
    EXPECT_EQ(BigEndianAt(bank, 156 + 4), 56u);
    EXPECT_EQ(BigEndianAt(bank, 156 + 56), 0x3e800000u); // 0.25f
    EXPECT_EQ(ParsePreset(bank).programs[1].name, "Rhythm");
}

TEST(PresetBytes, NamesKeepATerminatorAndAWrongByteSizeIsNotTrusted)
{
    auto bytes = SerializePreset(Program({0.5f}, "A name far longer than twenty-eight bytes"));
    EXPECT_EQ(ParsePreset(bytes).name, "A name far longer than twen"); // 27 bytes
    EXPECT_EQ(bytes[28 + 27], 0);
    // Some writers count the whole file: the file's own length counts.
    bytes[7] = static_cast<std::uint8_t>(bytes.size());
    EXPECT_EQ(ParsePreset(bytes).params, std::vector<float>{0.5f});
}

} // namespace
} // namespace mg::host
