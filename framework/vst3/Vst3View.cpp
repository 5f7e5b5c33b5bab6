#include "vst3/Vst3View.h"

#include <cmath>
#include <cstring>

namespace mg {

using namespace vst3;

namespace {

#if defined(_WIN32)
constexpr const char* kOwnPlatformType = kPlatformTypeHWND;
#else
constexpr const char* kOwnPlatformType = kPlatformTypeX11EmbedWindowID;
#endif

} // namespace

// ---- what the view asks of the plug-in ------------------------------------------------
// The editor belongs to the plug-in; one view at a time shows it.

bool IVst3Plugin::OpenEditorIn(void* parent)
{
    LockGuard guard(Lock());
    IEditorLink* editor = Editor();
    if (!editor || !editor->OpenInParent(parent)) return false;
    OnEditorOpened();
    return true;
}

void IVst3Plugin::CloseEditor()
{
    LockGuard guard(Lock());
    IEditorLink* editor = Editor();
    if (!editor) return;
    OnEditorClosed();
    editor->CloseWindow();
}

bool IVst3Plugin::ResizeHostWindow(int width, int height) { return openView_ && openView_->RequestResize(width, height); }

// Like a timer tick, this runs without the plug-in lock; controls that push
// a value take it themselves.
void IVst3Plugin::IdleEditor()
{
    if (IEditorLink* editor = Editor()) editor->Idle();
}

// ---- the view ----------------------------------------------------------------------------

Vst3View::Vst3View(IVst3Plugin& plugin) : plugin_(plugin) { plugin_.addRef(); }

Vst3View::~Vst3View()
{
    removed();
    frame_.Reset();
    plugin_.release();
}

tresult MG_VST3_CALL Vst3View::queryInterface(const TUID iid, void** obj)
{
    return QueryFrom(iid, obj,
                     {{kFUnknownIid, static_cast<IPlugView*>(this)},
                      {kIPlugViewIid, static_cast<IPlugView*>(this)},
                      {kIPlugViewContentScaleSupportIid, static_cast<IPlugViewContentScaleSupport*>(this)}});
}

tresult MG_VST3_CALL Vst3View::setContentScaleFactor(float factor)
{
    // Hosts may ask before the view is attached; the size answered from
    // then on is the scaled one, as the editor reports it.
    if (!std::isfinite(factor) || factor <= 0.0f) return kInvalidArgument;
    IEditorLink* editor = plugin_.Editor();
    return editor && editor->SetDisplayScale(static_cast<double>(factor)) ? kResultTrue : kResultFalse;
}

uint32 MG_VST3_CALL Vst3View::release()
{
    const uint32 left = refs_.Drop();
    if (left == 0) delete this;
    return left;
}

tresult MG_VST3_CALL Vst3View::isPlatformTypeSupported(FIDString type)
{
    return type && std::strcmp(type, kOwnPlatformType) == 0 ? kResultTrue : kResultFalse;
}

tresult MG_VST3_CALL Vst3View::attached(void* parent, FIDString type)
{
    if (!parent) return kInvalidArgument;
    if (isPlatformTypeSupported(type) != kResultTrue) return kResultFalse;
    if (attached_ || plugin_.openView_) return kResultFalse;
    // The open view before its window is: the desktop's scale is learned as
    // the window opens, after the host sized its own from getSize, and the
    // editor's request for the new size must reach the frame.
    plugin_.openView_ = this;
    bool opened = false;
    try {
        opened = plugin_.OpenEditorIn(parent);
    } catch (...) {
    }
    if (!opened) {
        plugin_.openView_ = nullptr;
        return kResultFalse;
    }
    attached_ = true;
#if !defined(_WIN32)
    runLoop_.Adopt(HostRef<IRunLoop>::Query(frame_.get(), kIRunLoopIid));
    if (runLoop_ && runLoop_->registerTimer(&timer_, kTimerMilliseconds) != kResultOk) runLoop_.Reset();
#endif
    return kResultOk;
}

void Vst3View::StopTimer()
{
    if (runLoop_) runLoop_->unregisterTimer(&timer_);
    runLoop_.Reset();
}

tresult MG_VST3_CALL Vst3View::removed()
{
    StopTimer();
    if (attached_) {
        attached_ = false;
        plugin_.openView_ = nullptr;
        try {
            plugin_.CloseEditor();
        } catch (...) {
        }
    }
    return kResultOk;
}

tresult MG_VST3_CALL Vst3View::getSize(ViewRect* size)
{
    IEditorLink* editor = plugin_.Editor();
    if (!size || !editor) return kInvalidArgument;
    *size = ViewRect{0, 0, editor->EditorWidth(), editor->EditorHeight()};
    return kResultOk;
}

tresult MG_VST3_CALL Vst3View::onSize(ViewRect* newSize) { return newSize ? kResultOk : kInvalidArgument; }

tresult MG_VST3_CALL Vst3View::checkSizeConstraint(ViewRect* rect)
{
    ViewRect fixed{};
    if (!rect || getSize(&fixed) != kResultOk) return kInvalidArgument;
    rect->right = rect->left + fixed.right;
    rect->bottom = rect->top + fixed.bottom;
    return kResultTrue;
}

bool Vst3View::RequestResize(int width, int height)
{
    if (!frame_) return false;
    ViewRect rect{0, 0, width, height};
    return frame_->resizeView(this, &rect) == kResultOk;
}

tresult MG_VST3_CALL Vst3View::setFrame(IPlugFrame* frame)
{
    frame_.Assign(frame);
    return kResultOk;
}

tresult MG_VST3_CALL Vst3View::Timer::queryInterface(const TUID iid, void** obj)
{
    return QueryFrom(iid, obj, {{kFUnknownIid, this}, {kITimerHandlerIid, this}});
}

void MG_VST3_CALL Vst3View::Timer::onTimer()
{
    try {
        view_.plugin_.IdleEditor();
    } catch (...) {
        // nothing may unwind into the host
    }
}

} // namespace mg
