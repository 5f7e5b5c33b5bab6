// State chunks from anywhere: effSetChunk with arbitrary bytes as a bank or
// a program, then the round trips a host makes when it saves a session and
// opens it in a fresh instance. Whatever was loaded, the chunk the plug-in
// hands out must restore the same parameters, the same chunk and the same
// sound, bit for bit, in a new instance.
//
// The first input byte chooses the order of things; the rest is the chunk.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "FuzzHost.h"
#include "MarrowGrit.h"
#include "vst/VstEntry.h"

namespace {

using mg::fuzz::FuzzHost;

constexpr int kFrames = 256;

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "fuzz_state: %s\n", what);
    std::abort();
}

class Instance {
public:
    Instance() : effect_(mg::CreateVstInstance<mg::MarrowGrit>(&FuzzHost::Callback))
    {
        if (!effect_) Fail("no instance");
    }
    ~Instance() { Dispatch(vst::effClose); }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    vst::AEffect* Effect() const { return effect_; }

    vst::intptr Dispatch(vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0, void* ptr = nullptr,
                         float opt = 0.0f)
    {
        return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
    }

    void Start()
    {
        Dispatch(vst::effOpen);
        Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
        Dispatch(vst::effSetBlockSize, 0, kFrames);
        Dispatch(vst::effMainsChanged, 0, 1);
    }

    std::vector<std::uint8_t> Chunk(bool bank)
    {
        void* data = nullptr;
        const vst::intptr size = Dispatch(vst::effGetChunk, bank ? 0 : 1, 0, &data);
        if (size <= 0 || !data) Fail("no chunk to save");
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        return std::vector<std::uint8_t>(bytes, bytes + size);
    }

    vst::intptr Load(const std::vector<std::uint8_t>& chunk, bool bank)
    {
        // A copy, exactly sized, as a host reading it from a file would pass.
        std::vector<std::uint8_t> copy(chunk);
        if (copy.empty()) copy.push_back(0);
        return Dispatch(vst::effSetChunk, bank ? 0 : 1, static_cast<vst::intptr>(chunk.size()), copy.data());
    }

    std::vector<float> Parameters()
    {
        std::vector<float> values;
        for (int i = 0; i < effect_->numParams; ++i) {
            const float v = effect_->getParameter(effect_, i);
            if (!(v >= 0.0f && v <= 1.0f)) Fail("normalised parameter outside 0..1 after a load");
            values.push_back(v);
        }
        return values;
    }

    // A signal whose every sample is far above the instance's anti-denormal
    // noise, so two instances with the same state give the same bits.
    std::vector<float> Render()
    {
        std::vector<float> left(kFrames), right(kFrames), outL(kFrames), outR(kFrames);
        for (int f = 0; f < kFrames; ++f) {
            left[static_cast<std::size_t>(f)] = (f / 7) % 2 ? 0.75f : -0.75f;
            right[static_cast<std::size_t>(f)] = (f / 3) % 2 ? 0.25f : -0.5f;
        }
        float* in[] = {left.data(), right.data()};
        float* out[] = {outL.data(), outR.data()};
        effect_->processReplacing(effect_, in, out, kFrames);
        for (float v : outL)
            if (!std::isfinite(v)) Fail("output that is no number after a load");
        return outL;
    }

private:
    vst::AEffect* effect_;
};

bool SameBits(const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const std::uint8_t order = data[0];
    const std::vector<std::uint8_t> hostile(data + 1, data + size);
    FuzzHost::Choose(0);

    Instance first;
    if (order & 1) first.Start();
    if (order & 2) first.Effect()->setParameter(first.Effect(), 1, 0.3f);
    const bool bank = order & 4;
    const vst::intptr loaded = first.Load(hostile, bank);
    if (loaded != 0 && loaded != 1) Fail("effSetChunk answered neither 0 nor 1");
    if (order & 8) first.Dispatch(vst::effSetProgram, 0, (order >> 4) % 17);
    if (!(order & 1)) first.Start();

    const std::vector<float> values = first.Parameters();
    const std::vector<std::uint8_t> bankChunk = first.Chunk(true);
    const std::vector<std::uint8_t> programChunk = first.Chunk(false);
    if (bankChunk != programChunk) Fail("bank and program chunks differ");
    if (first.Chunk(true) != bankChunk) Fail("saving twice gave two chunks");

    // Its own chunk back: nothing changes.
    if (first.Load(bankChunk, true) != 1) Fail("own chunk refused");
    if (first.Parameters() != values || first.Chunk(true) != bankChunk) Fail("own chunk changed the state");

    // A fresh instance, as when a session is opened again.
    Instance second;
    second.Start();
    if (second.Load(bank ? bankChunk : programChunk, bank) != 1) Fail("saved chunk refused by a fresh instance");
    if (second.Parameters() != values) Fail("fresh instance recalled other parameters");
    if (second.Chunk(bank) != bankChunk) Fail("fresh instance saves another chunk");
    if (!SameBits(first.Render(), second.Render())) Fail("fresh instance sounds different");
    return 0;
}
