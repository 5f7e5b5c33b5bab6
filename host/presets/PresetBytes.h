#pragma once
// The bytes of .fxp and .fxb preset files, without any plug-in: a file is
// parsed into a Preset, and a Preset is serialised into bytes that parse
// back to it. Every field is big-endian on disk, whatever the machine.
//
//   .fxp  'FxCk'  one program as a parameter list
//         'FPCh'  one program as the plug-in's opaque chunk
//   .fxb  'FxBk'  a bank: one 'FxCk' program record per program
//         'FBCh'  a bank as the plug-in's opaque chunk
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace mg::host {

enum class PresetKind { Program, ProgramChunk, Bank, BankChunk };

// Bytes of a program name on disk; names are written with at most
// kPresetNameBytes - 1 characters so that a terminator always follows.
constexpr std::size_t kPresetNameBytes = 28;
constexpr std::size_t kProgramHeaderBytes = 56;
constexpr std::size_t kBankHeaderBytes = 156;

// A whole file, or one program record of a 'FxBk' bank.
struct Preset {
    PresetKind kind = PresetKind::Program;
    // The header's format version: 1, or 2 for a bank whose currentProgram
    // is meaningful.
    std::int32_t formatVersion = 1;
    std::int32_t fxId = 0;
    std::int32_t fxVersion = 0;
    // numParams of a program, numPrograms of a bank. For the list kinds the
    // writer takes it from `params` or `programs`.
    std::int32_t count = 0;
    std::int32_t currentProgram = 0; // banks of version 2
    std::string name;                // programs
    std::vector<float> params;       // 'FxCk'
    std::vector<Preset> programs;    // 'FxBk': each a 'FxCk' program
    std::vector<std::uint8_t> chunk; // 'FPCh', 'FBCh'

    bool IsBank() const { return kind == PresetKind::Bank || kind == PresetKind::BankChunk; }
    bool IsChunk() const { return kind == PresetKind::ProgramChunk || kind == PresetKind::BankChunk; }
};

// Parses a whole file. Throws Failure with a one-line reason for anything
// that is not exactly one well-formed preset: a wrong magic, an unknown
// kind or version, a negative count or size, a size or count that points
// past the end, bytes left over after the end. The byteSize field is not
// trusted (some writers get it wrong); the file's own length is.
Preset ParsePreset(std::span<const std::uint8_t> bytes);

std::vector<std::uint8_t> SerializePreset(const Preset& preset);

// "FxCk", "FPCh", "FxBk" or "FBCh".
const char* PresetMagicName(PresetKind kind);

} // namespace mg::host
