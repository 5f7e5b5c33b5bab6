#pragma once
// The plug-in's editor as a VST 3 view: the editor window opened inside the
// host's window (an X11 window id on Linux, an HWND on Windows). VST 3 has
// no idle call, so on Linux the view asks the host's run loop (reached
// through the frame) for a timer, which drives the window's events and its
// redraw ticks; on Windows the window's own timer does.
#include "vst3/IVst3Plugin.h"
#include "vst3/Vst3Abi.h"
#include "vst3/Vst3Unknown.h"

namespace mg {

class Vst3View final : public vst3::IPlugView, public vst3::IPlugViewContentScaleSupport {
public:
    // How often the host's run loop calls in: input stays responsive, and
    // the window redraws at its own rate within these calls.
    static constexpr vst3::uint64 kTimerMilliseconds = 16;

    explicit Vst3View(IVst3Plugin& plugin);
    Vst3View(const Vst3View&) = delete;
    Vst3View& operator=(const Vst3View&) = delete;
    virtual ~Vst3View();

    vst3::tresult MG_VST3_CALL queryInterface(const vst3::TUID iid, void** obj) override;
    vst3::uint32 MG_VST3_CALL addRef() override { return refs_.Add(); }
    vst3::uint32 MG_VST3_CALL release() override;

    // The host's display scale, when the editor can follow it.
    vst3::tresult MG_VST3_CALL setContentScaleFactor(float factor) override;

    vst3::tresult MG_VST3_CALL isPlatformTypeSupported(vst3::FIDString type) override;
    vst3::tresult MG_VST3_CALL attached(void* parent, vst3::FIDString type) override;
    vst3::tresult MG_VST3_CALL removed() override;
    vst3::tresult MG_VST3_CALL onWheel(float) override { return vst3::kResultFalse; }
    vst3::tresult MG_VST3_CALL onKeyDown(vst3::char16, vst3::int16, vst3::int16) override { return vst3::kResultFalse; }
    vst3::tresult MG_VST3_CALL onKeyUp(vst3::char16, vst3::int16, vst3::int16) override { return vst3::kResultFalse; }
    vst3::tresult MG_VST3_CALL getSize(vst3::ViewRect* size) override;
    vst3::tresult MG_VST3_CALL onSize(vst3::ViewRect* newSize) override;
    vst3::tresult MG_VST3_CALL onFocus(vst3::TBool) override { return vst3::kResultOk; }
    vst3::tresult MG_VST3_CALL setFrame(vst3::IPlugFrame* frame) override;
    vst3::tresult MG_VST3_CALL canResize() override { return vst3::kResultFalse; }
    vst3::tresult MG_VST3_CALL checkSizeConstraint(vst3::ViewRect* rect) override;

    // Asks the host's frame for a window of that size; false without a
    // frame or when the host says no.
    bool RequestResize(int width, int height);

private:
    // The run loop's timer calls this object; it lives and dies with the view.
    class Timer final : public vst3::ITimerHandler {
    public:
        explicit Timer(Vst3View& view) : view_(view) {}
        vst3::tresult MG_VST3_CALL queryInterface(const vst3::TUID iid, void** obj) override;
        vst3::uint32 MG_VST3_CALL addRef() override { return view_.addRef(); }
        vst3::uint32 MG_VST3_CALL release() override { return view_.release(); }
        void MG_VST3_CALL onTimer() override;

    private:
        Vst3View& view_;
    };

    void StopTimer();

    vst3::RefCount refs_;
    IVst3Plugin& plugin_;
    Timer timer_{*this};
    vst3::HostRef<vst3::IPlugFrame> frame_;
    vst3::HostRef<vst3::IRunLoop> runLoop_;
    bool attached_ = false;
};

} // namespace mg
