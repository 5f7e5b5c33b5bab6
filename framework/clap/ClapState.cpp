// The state extension: the same bytes as the VST 2.4 chunk (magic, format
// version, one little-endian double per parameter), through the host's
// streams, which may take or give fewer bytes per call than asked.
#include <array>
#include <cmath>
#include <cstring>

#include "clap/IClapPlugin.h"

namespace mg {

namespace {

// Whether `bytes` is a whole chunk of this plug-in, `size` bytes as its own
// would be, every value a number: anything else is refused before a single
// parameter changes.
bool WholeChunk(const IByteChunk& bytes, int size)
{
    if (bytes.Size() != size) return false;
    std::uint32_t magic = 0;
    std::uint32_t version = 0;
    if (!bytes.ReadUInt32(0, magic) || !bytes.ReadUInt32(4, version)) return false;
    if (magic != IAudioPlugin::kChunkMagic || version != IAudioPlugin::kChunkVersion) return false;
    for (int pos = 8; pos < size; pos += 8) {
        double value = 0.0;
        if (!bytes.ReadDouble(pos, value) || !std::isfinite(value)) return false;
    }
    return true;
}

} // namespace

bool IClapPlugin::SaveState(const clap::ostream_t* stream)
{
    if (!stream || !stream->write || !OffAudioThread()) return false;
    IByteChunk chunk;
    {
        LockGuard guard(Lock());
        WriteChunkHeader(chunk);
        if (!SerializeState(chunk) || chunk.Size() == 0) return false;
    }
    const auto total = static_cast<std::uint64_t>(chunk.Size());
    std::uint64_t written = 0;
    while (written < total) {
        const std::int64_t n = stream->write(stream, chunk.Data() + written, total - written);
        // A stream that takes nothing would keep us here for ever.
        if (n <= 0 || static_cast<std::uint64_t>(n) > total - written) return false;
        written += static_cast<std::uint64_t>(n);
    }
    return true;
}

bool IClapPlugin::LoadState(const clap::istream_t* stream)
{
    if (!stream || !stream->read || !OffAudioThread()) return false;
    int expected = 0;
    {
        LockGuard guard(Lock());
        IByteChunk own;
        WriteChunkHeader(own);
        if (!SerializeState(own)) return false;
        expected = own.Size();
    }
    // Read one byte past what a chunk can hold: a longer stream is not ours.
    IByteChunk bytes;
    if (!bytes.Resize(expected + 1)) return false;
    int got = 0;
    while (got < bytes.Size()) {
        const std::int64_t n = stream->read(stream, bytes.Data() + got, static_cast<std::uint64_t>(bytes.Size() - got));
        if (n == 0) break;
        if (n < 0 || n > bytes.Size() - got) return false;
        got += static_cast<int>(n);
    }
    if (!bytes.Resize(got) || !WholeChunk(bytes, expected)) {
        Log(clap::kLogWarning, "state: refused bytes that are not a whole state of this plug-in");
        return false;
    }
    {
        LockGuard guard(Lock());
        if (UnserializeState(bytes, 8) != expected) return false;
        PushValuesToEditor();
    }
    if (hostParams_) hostParams_->rescan(host_, clap::kParamRescanValues);
    return true;
}

} // namespace mg
