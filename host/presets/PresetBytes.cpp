#include "PresetBytes.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#include "Failure.h"

namespace mg::host {
namespace {

constexpr std::uint32_t Magic(const char (&text)[5])
{
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(text[0])) << 24) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(text[1])) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(text[2])) << 8) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(text[3]));
}

constexpr std::uint32_t kChunkMagic = Magic("CcnK");
constexpr std::uint32_t kProgramMagic = Magic("FxCk");
constexpr std::uint32_t kProgramChunkMagic = Magic("FPCh");
constexpr std::uint32_t kBankMagic = Magic("FxBk");
constexpr std::uint32_t kBankChunkMagic = Magic("FBCh");
// From the header's fields: currentProgram, then zeros up to the bank's body.
constexpr std::size_t kBankFieldsEnd = 28;

// The four characters of a magic for a message; others as '?'.
std::string MagicText(std::uint32_t magic)
{
    std::string text = "'";
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto c = static_cast<unsigned char>(magic >> shift);
        text += (c >= 0x20 && c < 0x7f) ? static_cast<char>(c) : '?';
    }
    return text + "'";
}

// Reads big-endian fields at a moving offset; every read is checked against
// the end, and lengths are compared in 64 bits so no count can wrap.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Offset() const { return offset_; }
    std::size_t Left() const { return bytes_.size() - offset_; }

    void Need(std::uint64_t count, const char* what) const
    {
        if (count > Left())
            throw Failure(std::string("the file is cut short: ") + what + " needs " + std::to_string(count) +
                          " bytes at offset " + std::to_string(offset_) + ", " + std::to_string(Left()) +
                          " are left");
    }

    std::uint32_t U32()
    {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = (value << 8) | bytes_[offset_++];
        return value;
    }
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
    float F32() { return std::bit_cast<float>(U32()); }

    std::string Name()
    {
        const auto* start = reinterpret_cast<const char*>(bytes_.data() + offset_);
        offset_ += kPresetNameBytes;
        return std::string(start, strnlen(start, kPresetNameBytes));
    }

    std::vector<std::uint8_t> Bytes(std::size_t count)
    {
        const auto* start = bytes_.data() + offset_;
        offset_ += count;
        return std::vector<std::uint8_t>(start, start + count);
    }

    void Skip(std::size_t count) { offset_ += count; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t offset_ = 0;
};

std::int32_t Count(Reader& in, const char* what)
{
    const std::int32_t count = in.I32();
    if (count < 0)
        throw Failure(std::string("the file gives a negative ") + what + " (" + std::to_string(count) + ")");
    return count;
}

std::vector<std::uint8_t> ReadChunk(Reader& in)
{
    in.Need(4, "the chunk size");
    const std::int32_t size = Count(in, "chunk size");
    in.Need(static_cast<std::uint64_t>(size), "the chunk");
    return in.Bytes(static_cast<std::size_t>(size));
}

// Magic, byteSize, kind magic: the part every file and bank record shares.
std::uint32_t ReadStart(Reader& in)
{
    in.Need(12, "the header");
    const std::uint32_t chunkMagic = in.U32();
    if (chunkMagic != kChunkMagic)
        throw Failure("not a preset file: it starts with " + MagicText(chunkMagic) + ", not 'CcnK'");
    in.Skip(4); // byteSize: the file's own length is trusted instead
    return in.U32();
}

void ReadProgramBody(Reader& in, Preset& preset)
{
    in.Need(kProgramHeaderBytes - 12, "the program header");
    preset.formatVersion = in.I32();
    if (preset.formatVersion != 1)
        throw Failure("unknown program format version " + std::to_string(preset.formatVersion) + " (1 is known)");
    preset.fxId = in.I32();
    preset.fxVersion = in.I32();
    preset.count = Count(in, "parameter count");
    preset.name = in.Name();
    if (preset.kind == PresetKind::ProgramChunk) {
        preset.chunk = ReadChunk(in);
        return;
    }
    in.Need(4 * static_cast<std::uint64_t>(preset.count), "the parameter list");
    preset.params.resize(static_cast<std::size_t>(preset.count));
    for (float& value : preset.params)
        value = in.F32();
}

void ReadBankBody(Reader& in, Preset& preset)
{
    in.Need(kBankHeaderBytes - 12, "the bank header");
    preset.formatVersion = in.I32();
    if (preset.formatVersion != 1 && preset.formatVersion != 2)
        throw Failure("unknown bank format version " + std::to_string(preset.formatVersion) + " (1 and 2 are known)");
    preset.fxId = in.I32();
    preset.fxVersion = in.I32();
    preset.count = Count(in, "program count");
    const std::int32_t current = in.I32();
    preset.currentProgram = preset.formatVersion == 2 ? current : 0;
    in.Skip(kBankHeaderBytes - kBankFieldsEnd - 4);
    if (preset.kind == PresetKind::BankChunk) {
        preset.chunk = ReadChunk(in);
        return;
    }
    // Every record is at least a program header: a count beyond that is
    // refused before anything is allocated for it.
    in.Need(kProgramHeaderBytes * static_cast<std::uint64_t>(preset.count), "the program records");
    preset.programs.resize(static_cast<std::size_t>(preset.count));
    for (std::size_t i = 0; i < preset.programs.size(); ++i) {
        Preset& program = preset.programs[i];
        const std::uint32_t magic = ReadStart(in);
        if (magic != kProgramMagic)
            throw Failure("program record " + std::to_string(i) + " of the bank is " + MagicText(magic) +
                          ", not 'FxCk'");
        program.kind = PresetKind::Program;
        ReadProgramBody(in, program);
    }
}

class Writer {
public:
    void U32(std::uint32_t value)
    {
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes_.push_back(static_cast<std::uint8_t>(value >> shift));
    }
    void I32(std::int32_t value) { U32(static_cast<std::uint32_t>(value)); }
    void F32(float value) { U32(std::bit_cast<std::uint32_t>(value)); }
    void Zeros(std::size_t count) { bytes_.insert(bytes_.end(), count, 0); }
    void Append(const std::vector<std::uint8_t>& bytes) { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }

    void Name(const std::string& name)
    {
        const std::size_t length = std::min(strnlen(name.c_str(), name.size()), kPresetNameBytes - 1);
        bytes_.insert(bytes_.end(), name.begin(), name.begin() + static_cast<std::ptrdiff_t>(length));
        Zeros(kPresetNameBytes - length);
    }

    // byteSize counts what follows it.
    void PatchByteSize(std::size_t start)
    {
        const auto size = static_cast<std::uint32_t>(bytes_.size() - start - 8);
        for (int i = 0; i < 4; ++i)
            bytes_[start + 4 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(size >> (24 - 8 * i));
    }

    std::size_t Size() const { return bytes_.size(); }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

std::int32_t CountOf(std::size_t size, const char* what)
{
    if (size > 0x7fffffff)
        throw Failure(std::string("too many ") + what + " for a preset file");
    return static_cast<std::int32_t>(size);
}

// A bank's records are always parameter lists, whatever their `kind` says.
void WriteProgram(Writer& out, const Preset& preset, bool chunk)
{
    const std::size_t start = out.Size();
    out.U32(kChunkMagic);
    out.U32(0);
    out.U32(chunk ? kProgramChunkMagic : kProgramMagic);
    out.I32(1);
    out.I32(preset.fxId);
    out.I32(preset.fxVersion);
    if (chunk) {
        out.I32(preset.count);
        out.Name(preset.name);
        out.I32(CountOf(preset.chunk.size(), "chunk bytes"));
        out.Append(preset.chunk);
    } else {
        out.I32(CountOf(preset.params.size(), "parameters"));
        out.Name(preset.name);
        for (float value : preset.params)
            out.F32(value);
    }
    out.PatchByteSize(start);
}

void WriteBank(Writer& out, const Preset& preset)
{
    out.U32(kChunkMagic);
    out.U32(0);
    out.U32(preset.kind == PresetKind::BankChunk ? kBankChunkMagic : kBankMagic);
    out.I32(preset.formatVersion == 2 ? 2 : 1);
    out.I32(preset.fxId);
    out.I32(preset.fxVersion);
    if (preset.kind == PresetKind::BankChunk) {
        out.I32(preset.count);
    } else {
        out.I32(CountOf(preset.programs.size(), "programs"));
    }
    out.I32(preset.formatVersion == 2 ? preset.currentProgram : 0);
    out.Zeros(kBankHeaderBytes - kBankFieldsEnd - 4);
    if (preset.kind == PresetKind::BankChunk) {
        out.I32(CountOf(preset.chunk.size(), "chunk bytes"));
        out.Append(preset.chunk);
    } else {
        for (const Preset& program : preset.programs)
            WriteProgram(out, program, false);
    }
    out.PatchByteSize(0);
}

} // namespace

Preset ParsePreset(std::span<const std::uint8_t> bytes)
{
    Reader in(bytes);
    Preset preset;
    const std::uint32_t magic = ReadStart(in);
    if (magic == kProgramMagic || magic == kProgramChunkMagic) {
        preset.kind = magic == kProgramMagic ? PresetKind::Program : PresetKind::ProgramChunk;
        ReadProgramBody(in, preset);
    } else if (magic == kBankMagic || magic == kBankChunkMagic) {
        preset.kind = magic == kBankMagic ? PresetKind::Bank : PresetKind::BankChunk;
        ReadBankBody(in, preset);
    } else {
        throw Failure("unknown preset kind " + MagicText(magic) + " (known: 'FxCk', 'FPCh', 'FxBk', 'FBCh')");
    }
    if (in.Left() != 0)
        throw Failure(std::to_string(in.Left()) + " bytes follow the end of the " + PresetMagicName(preset.kind) +
                      " preset at offset " + std::to_string(in.Offset()));
    return preset;
}

std::vector<std::uint8_t> SerializePreset(const Preset& preset)
{
    Writer out;
    if (preset.IsBank())
        WriteBank(out, preset);
    else
        WriteProgram(out, preset, preset.kind == PresetKind::ProgramChunk);
    return out.Take();
}

const char* PresetMagicName(PresetKind kind)
{
    switch (kind) {
    case PresetKind::ProgramChunk:
        return "FPCh";
    case PresetKind::Bank:
        return "FxBk";
    case PresetKind::BankChunk:
        return "FBCh";
    case PresetKind::Program:
        break;
    }
    return "FxCk";
}

} // namespace mg::host
