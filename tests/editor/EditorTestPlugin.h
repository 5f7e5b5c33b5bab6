#pragma once
// A plug-in on the bare base that records, in order, what the editor asks of
// the host, plus helpers that build editors and image strips for tests.
#include <cstdint>
#include <string>
#include <vector>

#include "core/IAudioPlugin.h"
#include "editor/IControl.h"
#include "editor/IEditorWindow.h"
#include "raster/IMemoryBitmap.h"

namespace mg::test {

class EditorTestPlugin : public IAudioPlugin {
public:
    // Parameter 0 continuous 0..1, 1 a choice "Off"/"On", 2 continuous 0..10.
    EditorTestPlugin()
        : IAudioPlugin(3, "1-1", 1,
                       PluginIdentity{.effectName = "EditorTest", .makerName = "maker", .version = 0x10000,
                                      .uniqueId = FourCC("edt1"), .makerId = FourCC("Mkr1")})
    {
        ParameterAt(0)->InitContinuous("Level", 0.5, 0.0, 1.0, 0.001, "");
        ParameterAt(1)->InitChoice("Switch", 0, 2);
        ParameterAt(1)->AddValueText(0, "Off");
        ParameterAt(1)->AddValueText(1, "On");
        ParameterAt(2)->InitContinuous("Range", 5.0, 0.0, 10.0, 0.1, "dB");
    }

    struct Event {
        char kind; // 'b' begin edit, 'a' automate, 'e' end edit, 'c' parameter change
        int index;
        double value;
    };

    void OnParameterChange(int index) override { events.push_back({'c', index, ParameterAt(index)->value()}); }
    void BeginHostEdit(int index) override { events.push_back({'b', index, 0.0}); }
    void InformHostOfChange(int index, double normalized) override { events.push_back({'a', index, normalized}); }
    void EndHostEdit(int index) override { events.push_back({'e', index, 0.0}); }
    std::int32_t HostSamplePosition() override { return 0; }
    double HostTempo() override { return 0.0; }
    void HostTimeSignature(int* n, int* d) override { *n = *d = 0; }
    void EditorSizeChanged(int width, int height) override { sizes.push_back({width, height}); }
    void AdaptToHost() override {}
    bool SendMidiMessage(const MidiMessage&) override { return true; }
    bool SendMidiMessages(std::span<const MidiMessage>) override { return true; }

    // The recorded kinds and indices, e.g. "a0 b0 a0 e0", for order checks.
    std::string Log() const
    {
        std::string s;
        for (const Event& e : events) {
            if (!s.empty()) s += ' ';
            s += e.kind;
            s += std::to_string(e.index);
        }
        return s;
    }
    std::vector<double> Automated(int index) const
    {
        std::vector<double> values;
        for (const Event& e : events)
            if (e.kind == 'a' && e.index == index) values.push_back(e.value);
        return values;
    }

    struct Size {
        int width;
        int height;
    };
    std::vector<Event> events;
    std::vector<Size> sizes;
};

// A control that draws one strip frame and counts what it was asked to do.
class ProbeControl : public IControl {
public:
    ProbeControl(IAudioPlugin* owner, const IRectangle& rect, int parameterIndex = -1,
                 const IBitmapStrip& strip = IBitmapStrip{})
        : IControl(owner, rect, parameterIndex), strip_(strip)
    {
    }

    bool Draw(IGraphics& graphics) override
    {
        ++draws;
        return strip_.bitmap ? graphics.DrawBitmapFrame(strip_, DrawRect(), 1, &Blend()) : true;
    }
    void MouseDown(int x, int y, const IMouseModifiers& m) override { calls.push_back({'D', x, y, 0, 0, m}); }
    void MouseUp(int x, int y, const IMouseModifiers& m) override { calls.push_back({'U', x, y, 0, 0, m}); }
    void MouseDrag(int x, int y, int dx, int dy, const IMouseModifiers& m) override
    {
        calls.push_back({'G', x, y, dx, dy, m});
    }
    void MouseDoubleClick(int x, int y, const IMouseModifiers& m) override { calls.push_back({'2', x, y, 0, 0, m}); }
    void MouseWheel(int x, int y, const IMouseModifiers& m, int notches) override
    {
        calls.push_back({'W', x, y, notches, 0, m});
    }
    void KeyPress(int x, int y, int key) override { calls.push_back({'K', x, y, key, 0, {}}); }
    void MouseHover(int x, int y, const IMouseModifiers& m) override { calls.push_back({'H', x, y, 0, 0, m}); }
    void MouseLeave() override { calls.push_back({'L', 0, 0, 0, 0, {}}); }

    std::string Kinds() const
    {
        std::string s;
        for (const Call& c : calls) s += c.kind;
        return s;
    }

    struct Call {
        char kind;
        int x;
        int y;
        int a; // dx, notches or key code
        int b; // dy
        IMouseModifiers modifiers;
    };
    std::vector<Call> calls;
    int draws = 0;

private:
    IBitmapStrip strip_;
};

// A strip of `frames` solid frames, frame k (from 1) filled with
// colours[k - 1]; the image cache owns the bitmap.
inline IBitmapStrip SolidStrip(IGraphics& graphics, int width, int frameHeight,
                               const std::vector<std::uint32_t>& colours)
{
    const int frames = static_cast<int>(colours.size());
    auto* bitmap = new IMemoryBitmap(width, frameHeight * frames);
    for (int f = 0; f < frames; ++f)
        for (int y = f * frameHeight; y < (f + 1) * frameHeight; ++y)
            for (int x = 0; x < width; ++x)
                bitmap->Pixels()[y * bitmap->RowSpan() + x] = colours[static_cast<std::size_t>(f)];
    graphics.KeepBitmap(bitmap);
    return IBitmapStrip{bitmap, width, frameHeight * frames, frames};
}

inline std::uint32_t PixelAt(const IBitmap& bitmap, int x, int y)
{
    return bitmap.Pixels()[y * bitmap.RowSpan() + x];
}

} // namespace mg::test
