// The pedal as a hostile host drives it: dispatcher requests with any index,
// value and opt and with buffers of the sizes the interface promises (or
// none), interleaved with process calls of any length up to several times
// the announced block, speaker arrangements, parameter sets, editor events
// and instances closed and made anew. Buffers are allocated to their exact
// size so a read or write past them is caught.
//
// Checks besides the sanitizers: normalised parameters stay finite in 0..1,
// texts come back terminated, requests the plug-in does not know leave the
// buffer alone and answer 0, and a block of finite input gives finite output
// at any sample rate a host would use.
//
// Input: the host's identity (one byte), the instruction set of the effect
// chain and the pedal, exact or HQ (one byte), then steps until the input ends.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "FuzzChainIsa.h"
#include "FuzzHost.h"
#include "FuzzInput.h"
#include "MarrowGrit.h"
#include "MarrowGritHQ.h"
#include "editor/IEditorWindow.h"
#include "vst/VstEntry.h"

namespace {

using mg::fuzz::FuzzHost;
using mg::fuzz::FuzzInput;

constexpr int kMaxSteps = 160;
constexpr int kMaxFrames = 1 << 14;          // per call
constexpr long kMaxFramesPerInput = 1 << 13; // keeps one run short

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "fuzz_dispatcher: %s\n", what);
    std::abort();
}

bool Handled(vst::int32 opcode)
{
    static constexpr vst::int32 kHandled[] = {0,  2,  3,  4,  5,  6,  7,  8,  10, 11, 12, 13, 14, 15, 19, 22, 23, 24,
                                              25, 26, 29, 33, 34, 35, 41, 42, 45, 47, 48, 50, 51, 53, 58, 66, 69};
    return std::find(std::begin(kHandled), std::end(kHandled), opcode) != std::end(kHandled);
}

// Output texts and the room the interface gives each of them.
std::size_t TextRoom(vst::int32 opcode, vst::int32 index)
{
    switch (opcode) {
    case vst::effGetProgramName:
    case vst::effGetProgramNameIndexed:
        return vst::kVstMaxProgNameLen;
    case vst::effGetParamLabel:
    case vst::effGetParamDisplay:
    case vst::effGetParamName:
        return vst::kVstMaxParamStrLen;
    case vst::effGetEffectName:
        return vst::kVstMaxEffectNameLen;
    case vst::effGetVendorString:
        return vst::kVstMaxVendorStrLen;
    case vst::effGetProductString:
        return vst::kVstMaxProductStrLen;
    case vst::effVendorSpecific:
        return index == 7 ? vst::kVstMaxParamStrLen : 0;
    default:
        return 0;
    }
}

struct Session {
    vst::AEffect* effect = nullptr;
    int connectedInputs = 2;
    int connectedOutputs = 2;
    long framesLeft = kMaxFramesPerInput;
    bool hq = false;

    mg::MarrowGrit& Plugin() const { return *static_cast<mg::MarrowGrit*>(effect->object); }

    // A new instance, as a host makes one.
    void Create(FuzzInput& in)
    {
        FuzzHost::Choose(in.Byte());
        Make();
    }

    void Make()
    {
        effect = hq ? mg::CreateVstInstance<mg::MarrowGritHQ>(&FuzzHost::Callback)
                    : mg::CreateVstInstance<mg::MarrowGrit>(&FuzzHost::Callback);
        if (!effect) Fail("no instance");
        connectedInputs = connectedOutputs = 2;
    }

    // The instruction set's byte also says, in its lowest bit, which pedal
    // the whole input drives: the exact one or HQ.
    void Start(FuzzInput& in)
    {
        Create(in);
        const std::uint8_t pick = in.Byte();
        if (pick & 1) {
            Close();
            hq = true;
            Make();
        }
        mg::fuzz::ChooseChainIsa(Plugin(), pick >> 4);
    }

    void Close()
    {
        if (effect) effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
        effect = nullptr;
    }

    vst::intptr Dispatch(vst::int32 opcode, vst::int32 index, vst::intptr value, void* ptr, float opt)
    {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

    void CheckParameters() const
    {
        for (int i = -1; i <= effect->numParams; ++i) {
            const float v = effect->getParameter(effect, i);
            if (!(v >= 0.0f && v <= 1.0f)) Fail("normalised parameter outside 0..1");
            if ((i < 0 || i >= effect->numParams) && v != 0.0f) Fail("invalid parameter index gave a value");
        }
    }
};

std::vector<std::uint8_t> Block(std::size_t size, std::uint8_t fill)
{
    return std::vector<std::uint8_t>(size == 0 ? 1 : size, fill);
}

void Terminated(const std::vector<std::uint8_t>& text, const char* what)
{
    if (text[0] != 0x7F && !std::memchr(text.data(), 0, text.size())) Fail(what);
}

// effProcessEvents: a list of MIDI, SysEx and other events, some entries null.
vst::intptr SendEvents(Session& s, FuzzInput& in)
{
    const int count = in.Byte() % 9;
    const std::size_t listBytes = offsetof(vst::VstEvents, events) + sizeof(vst::VstEvent*) * std::max(count, 2);
    std::vector<std::uint8_t> list = Block(listBytes, 0);
    auto* events = reinterpret_cast<vst::VstEvents*>(list.data());
    events->numEvents = count;
    std::vector<vst::VstMidiEvent> midi(static_cast<std::size_t>(count));
    std::vector<vst::VstMidiSysexEvent> sysex(static_cast<std::size_t>(count));
    std::vector<std::uint8_t> dump(16, 0xF0);
    for (int i = 0; i < count; ++i) {
        const std::uint8_t kind = in.Byte() % 4;
        vst::VstEvent* event = nullptr;
        if (kind == 1) {
            auto& m = midi[static_cast<std::size_t>(i)];
            m.type = vst::kVstMidiType;
            m.byteSize = sizeof m;
            m.deltaFrames = in.Take<vst::int32>();
            in.Bytes(m.midiData, sizeof m.midiData);
            event = reinterpret_cast<vst::VstEvent*>(&m);
        } else if (kind == 2) {
            auto& x = sysex[static_cast<std::size_t>(i)];
            x.type = in.Byte() & 1 ? vst::kVstSysExType : in.Take<vst::int32>();
            x.byteSize = sizeof x;
            x.dumpBytes = static_cast<vst::int32>(dump.size());
            x.sysexDump = reinterpret_cast<char*>(dump.data());
            event = reinterpret_cast<vst::VstEvent*>(&x);
        }
        // kind 0 and 3: a null entry
        std::memcpy(list.data() + offsetof(vst::VstEvents, events) + sizeof(vst::VstEvent*) * i, &event,
                    sizeof event);
    }
    return s.Dispatch(vst::effProcessEvents, 0, 0, events, 0.0f);
}

void DispatchStep(Session& s, FuzzInput& in)
{
    const auto opcode = static_cast<vst::int32>(in.Byte() % 81);
    if (opcode == vst::effClose) return; // closing is a step of its own
    const vst::int32 index = in.Index();
    vst::intptr value = in.Value();
    const float opt = in.Float();
    const bool noPointer = (in.Byte() & 7) == 0;

    switch (opcode) {
    case vst::effSetChunk: {
        const std::size_t size = in.Take<std::uint16_t>() % 4097;
        std::vector<std::uint8_t> data = Block(size, 0);
        in.Bytes(data.data(), size);
        s.Dispatch(opcode, index, static_cast<vst::intptr>(size), noPointer ? nullptr : data.data(), opt);
        return;
    }
    case vst::effGetChunk: {
        void* chunk = nullptr;
        const vst::intptr size = s.Dispatch(opcode, index, value, noPointer ? nullptr : &chunk, opt);
        if (size < 0) Fail("negative chunk size");
        if (size > 0) {
            if (!chunk) Fail("chunk size without data");
            // Read it all, as a host saving it would.
            std::vector<std::uint8_t> copy(static_cast<std::size_t>(size));
            std::memcpy(copy.data(), chunk, copy.size());
        }
        return;
    }
    case vst::effProcessEvents:
        if (noPointer) {
            s.Dispatch(opcode, index, value, nullptr, opt);
        } else {
            SendEvents(s, in);
        }
        return;
    case vst::effSetSpeakerArrangement:
    case vst::effGetSpeakerArrangement: {
        const bool inSide = in.Byte() & 1;
        const bool outSide = !noPointer;
        std::vector<std::uint8_t> inBlock = Block(sizeof(vst::VstSpeakerArrangement), 0);
        std::vector<std::uint8_t> outBlock = Block(sizeof(vst::VstSpeakerArrangement), 0);
        auto* inArr = reinterpret_cast<vst::VstSpeakerArrangement*>(inBlock.data());
        auto* outArr = reinterpret_cast<vst::VstSpeakerArrangement*>(outBlock.data());
        if (opcode == vst::effSetSpeakerArrangement) {
            inArr->numChannels = in.Index();
            outArr->numChannels = in.Index();
            s.Dispatch(opcode, index, inSide ? reinterpret_cast<vst::intptr>(inArr) : 0, outSide ? outArr : nullptr,
                       opt);
            auto clip = [](vst::int32 n) { return n < 0 ? 0 : n > 2 ? 2 : n; };
            if (inSide) s.connectedInputs = clip(inArr->numChannels);
            if (outSide) s.connectedOutputs = clip(outArr->numChannels);
        } else {
            vst::VstSpeakerArrangement* got[2] = {nullptr, nullptr};
            s.Dispatch(opcode, index, inSide ? reinterpret_cast<vst::intptr>(&got[0]) : 0,
                       outSide ? &got[1] : nullptr, opt);
            for (const auto* arrangement : got)
                if (arrangement && (arrangement->numChannels < 0 || arrangement->numChannels > 2))
                    Fail("speaker arrangement with an impossible channel count");
        }
        return;
    }
    case vst::effEditGetRect: {
        vst::ERect* rect = nullptr;
        if (s.Dispatch(opcode, index, value, noPointer ? nullptr : &rect, opt) == 1) {
            if (!rect || rect->right <= rect->left || rect->bottom <= rect->top) Fail("bad editor rectangle");
        }
        return;
    }
    case vst::effGetInputProperties:
    case vst::effGetOutputProperties: {
        std::vector<std::uint8_t> pin = Block(sizeof(vst::VstPinProperties), 0x7F);
        if (s.Dispatch(opcode, index, value, noPointer ? nullptr : pin.data(), opt) == 1)
            Terminated(pin, "pin label without terminator");
        return;
    }
    case vst::effGetMidiKeyName: {
        std::vector<std::uint8_t> key = Block(sizeof(vst::MidiKeyName), 0x7F);
        auto* name = reinterpret_cast<vst::MidiKeyName*>(key.data());
        name->thisKeyNumber = in.Index();
        s.Dispatch(opcode, index, value, noPointer ? nullptr : name, opt);
        return;
    }
    case vst::effCanDo:
    case vst::effSetProgramName: {
        static constexpr const char* kTexts[] = {"receiveVstTimeInfo", "sendVstEvents", "receiveVstMidiEvent", "bypass"};
        const std::uint8_t pick = in.Byte();
        std::vector<std::uint8_t> text;
        if (pick < 64) {
            const char* known = kTexts[pick % 4];
            text.assign(known, known + std::strlen(known) + 1);
        } else {
            text = Block(static_cast<std::size_t>(in.Take<std::uint16_t>() % 400) + 1, 0);
            in.Bytes(text.data(), text.size() - 1);
        }
        s.Dispatch(opcode, index, value, noPointer ? nullptr : text.data(), opt);
        return;
    }
    case vst::effEditOpen: {
        std::vector<std::uint8_t> window = Block(64, 0);
        s.Dispatch(opcode, index, value, noPointer ? nullptr : window.data(), opt);
        return;
    }
    case vst::effSetBlockSize:
        // Mostly sizes hosts use; now and then anything.
        if (in.Byte() < 224) value = static_cast<vst::intptr>(in.Take<std::uint16_t>() % 8193);
        break;
    default:
        break;
    }

    if (const std::size_t room = TextRoom(opcode, index)) {
        std::vector<std::uint8_t> text = Block(room, 0x7F);
        s.Dispatch(opcode, index, value, noPointer ? nullptr : text.data(), opt);
        Terminated(text, "text without terminator");
        return;
    }
    // Anything else: a zeroed buffer of any size, or none. A request the
    // plug-in does not know must leave it alone.
    std::vector<std::uint8_t> buffer = Block(static_cast<std::size_t>(in.Byte()) * 8 + 1, 0);
    const vst::intptr result = s.Dispatch(opcode, index, value, noPointer ? nullptr : buffer.data(), opt);
    if (!Handled(opcode)) {
        if (result != 0) Fail("unknown request answered");
        if (std::any_of(buffer.begin(), buffer.end(), [](std::uint8_t b) { return b != 0; }))
            Fail("unknown request wrote into the buffer");
    }
}

template <class Sample>
bool FillSignal(std::vector<std::vector<Sample>>& channels, int frames, FuzzInput& in)
{
    const std::uint8_t kind = in.Byte() % 6;
    const double level = in.Byte() / 255.0;
    const int period = 2 + in.Byte();
    bool finite = true;
    for (auto& channel : channels) {
        for (int f = 0; f < frames; ++f) {
            double v = 0.0;
            switch (kind) {
            case 0: break;
            case 1: v = (f / period) % 2 ? level : -level; break; // full-scale square at level 1
            case 2: v = level * std::sin(0.05 * f); break;
            case 3: v = (f % 2 ? 1 : -1) * 1.0e-310; break; // subnormal
            case 4: { // values from the input, finite ones kept within full scale
                const float raw = in.Take<float>();
                v = std::isfinite(raw) ? std::clamp(static_cast<double>(raw), -1.0, 1.0) : static_cast<double>(raw);
                break;
            }
            default: { // a burst of values that are no numbers
                static constexpr double kBad[] = {std::numeric_limits<double>::quiet_NaN(),
                                                  std::numeric_limits<double>::infinity(),
                                                  -std::numeric_limits<double>::infinity(), 0.5};
                v = kBad[(f + period) % 4];
                break;
            }
            }
            channel[static_cast<std::size_t>(f)] = static_cast<Sample>(v);
            finite = finite && std::isfinite(static_cast<Sample>(v));
        }
    }
    return finite;
}

template <class Sample, class Call>
void ProcessWith(Session& s, FuzzInput& in, int frames, Call call)
{
    const std::size_t length = static_cast<std::size_t>(frames > 0 ? frames : 1);
    std::vector<std::vector<Sample>> inputs(static_cast<std::size_t>(s.connectedInputs), std::vector<Sample>(length));
    std::vector<std::vector<Sample>> outputs(static_cast<std::size_t>(s.connectedOutputs),
                                             std::vector<Sample>(length, Sample(0.25)));
    const bool finite = FillSignal(inputs, frames > 0 ? frames : 0, in);
    // Pointer arrays as long as the connected channels, as a host makes them.
    std::vector<Sample*> hostIn(inputs.size());
    std::vector<Sample*> hostOut(outputs.size());
    for (std::size_t i = 0; i < inputs.size(); ++i) hostIn[i] = inputs[i].data();
    for (std::size_t i = 0; i < outputs.size(); ++i) hostOut[i] = outputs[i].data();
    call(s.effect, hostIn.empty() ? nullptr : hostIn.data(), hostOut.empty() ? nullptr : hostOut.data(), frames);

    const double rate = s.Plugin().SampleRate();
    if (!finite || frames <= 0 || !(rate >= 1000.0 && rate <= 1.0e6)) return;
    for (const auto& channel : outputs)
        for (int f = 0; f < frames; ++f)
            if (!std::isfinite(channel[static_cast<std::size_t>(f)])) Fail("finite input gave output that is no number");
}

void ProcessStep(Session& s, FuzzInput& in)
{
    const std::uint8_t kind = in.Byte() % 3;
    const std::uint8_t mode = in.Byte();
    const auto pick = in.Take<std::uint32_t>();
    const int announced = std::max(1, s.Plugin().BlockLength());
    int frames = 0;
    if (mode < 24) {
        frames = static_cast<int>(mode) - 2; // none, negative and very short blocks
    } else {
        const long limit = std::min<long>(4L * announced, kMaxFrames);
        frames = static_cast<int>(pick % static_cast<std::uint32_t>(limit + 1));
    }
    if (frames > s.framesLeft) frames = static_cast<int>(s.framesLeft);
    s.framesLeft -= frames > 0 ? frames : 0;

    switch (kind) {
    case 0:
        ProcessWith<float>(s, in, frames, s.effect->process);
        break;
    case 1:
        ProcessWith<float>(s, in, frames, s.effect->processReplacing);
        break;
    default:
        ProcessWith<double>(s, in, frames, s.effect->processDoubleReplacing);
        break;
    }
}

void EditorStep(Session& s, FuzzInput& in)
{
    auto* editor = static_cast<mg::IEditorWindow*>(s.Plugin().EditorGraphics());
    if (!editor) return;
    const int x = static_cast<int>(in.Byte()) - 16;
    const int y = static_cast<int>(in.Take<std::uint16_t>() % 380) - 20;
    const std::uint8_t bits = in.Byte();
    mg::IMouseModifiers mods;
    mods.left = !(bits & 1);
    mods.right = bits & 1;
    mods.shift = bits & 2;
    mods.control = bits & 4;
    mods.alt = bits & 8;
    switch (in.Byte() % 12) {
    case 0: editor->MouseDown(x, y, mods); break;
    case 1: editor->MouseUp(x, y, mods); break;
    case 2: editor->MouseDrag(x, y, mods); break;
    case 3: editor->MouseDoubleClick(x, y, mods); break;
    case 4: editor->MouseWheel(x, y, mods, static_cast<std::int8_t>(in.Byte())); break;
    case 5: editor->MouseHover(x, y, mods); break;
    case 6: editor->MouseLeave(); break;
    case 7: editor->KeyPress(x, y, in.Take<std::int32_t>()); break;
    case 8: editor->MarkAllControlsDirty(); editor->RedrawTick(); break;
    case 9: {
        char text[48] = {};
        in.Bytes(text, sizeof text - 1);
        editor->TypeInPrompt(text);
        editor->CommitPrompt();
        editor->RedrawTick();
        break;
    }
    case 10: editor->FocusPrompt(bits & 16); editor->CancelPrompt(); editor->RedrawTick(); break;
    default: editor->RedrawTick(); break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput in(data, size);
    Session s;
    s.Start(in);
    for (int step = 0; step < kMaxSteps && !in.Empty(); ++step) {
        switch (in.Byte() % 8) {
        case 0:
        case 1:
        case 2:
            DispatchStep(s, in);
            break;
        case 3:
            s.effect->setParameter(s.effect, in.Index(), in.Float());
            break;
        case 4:
        case 5:
            ProcessStep(s, in);
            break;
        case 6:
            EditorStep(s, in);
            break;
        default:
            if ((in.Byte() & 15) == 0) { // now and then the host closes and opens a new one
                s.Close();
                s.Create(in);
            } else {
                s.Dispatch(vst::effMainsChanged, 0, in.Byte() & 1, nullptr, 0.0f);
            }
            break;
        }
        s.CheckParameters();
    }
    s.Close();
    return 0;
}
