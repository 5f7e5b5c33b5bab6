// The editor model: construction, the control list, values from the plug-in
// side, resizing and the operations an editor without a window answers.
#include "IGraphics.h"

#include "core/FixedText.h"
#include "core/IAudioPlugin.h"
#include "editor/IControl.h"

namespace mg {

IGraphics::IGraphics(IAudioPlugin* owner, int width, int height, int frameRate)
    : owner_(owner), width_(width), height_(height), frameRate_(frameRate > 0 ? frameRate : kDefaultFrameRate)
{
}

IGraphics::~IGraphics()
{
    EndTextEntry();
    scratch_.reset();
    surface_.reset();
    DeleteControls();
}

void IGraphics::DeleteControls()
{
    scaleMenu_ = nullptr;
    background_ = nullptr;
    while (!controlList_.empty()) controlList_.pop_back(); // last first
}

// ---- controls ----------------------------------------------------------------

int IGraphics::AttachControl(IControl* control)
{
    return AttachControl(std::unique_ptr<IControl>(control));
}

int IGraphics::AttachControl(std::unique_ptr<IControl> control)
{
    if (!control) return -1;
    control->graphics_ = this;
    controlList_.push_back(std::move(control));
    return ControlCount() - 1;
}

IControl* IGraphics::ControlAt(int index) const
{
    if (index < 0 || index >= ControlCount()) return nullptr;
    return controlList_[static_cast<std::size_t>(index)].get();
}

void IGraphics::HideControlsOfParameter(int parameterIndex, bool hidden)
{
    for (const auto& control : controlList_)
        if (control->ParameterIndex() == parameterIndex) control->SetHidden(hidden);
}

// ---- values from the plug-in side ----------------------------------------------

void IGraphics::SetControlsFromParameter(int parameterIndex, double value, bool normalized)
{
    if (!normalized) {
        const IParameter* parameter = owner_ ? owner_->ParameterAt(parameterIndex) : nullptr;
        if (!parameter) return;
        value = parameter->NormalizedOf(value);
    }
    for (const auto& control : controlList_)
        if (control->ParameterIndex() == parameterIndex) control->SetValueFromPlugin(value);
}

void IGraphics::SetControlValueFromPlugin(int controlIndex, double normalized)
{
    if (IControl* control = ControlAt(controlIndex)) control->SetValueFromPlugin(normalized);
}

// ---- size --------------------------------------------------------------------------

void IGraphics::ResizeEditor(int width, int height)
{
    width_ = width;
    height_ = height;
    lastX_ = -1;
    lastY_ = -1;
    captured_ = -1;
    hovered_ = -1; // it indexes a list that is about to go
    EndTextEntry(); // its control is about to go
    if (surface_) surface_->Resize(EditorWidth(), EditorHeight());
    {
        // Host threads reach the controls under the plug-in lock; none may
        // be mid-call while they are deleted.
        if (owner_) {
            LockGuard guard(owner_->Lock());
            DeleteControls();
        } else {
            DeleteControls();
        }
    }
    if (owner_) owner_->EditorSizeChanged(width, height);
}

// ---- value box -------------------------------------------------------------------

void IGraphics::BeginTextEntry(IControl* control, IParameter* parameter)
{
    entryControl_ = control;
    entryParameter_ = parameter;
    entryState_ = TextEntryState::None;
}

void IGraphics::EndTextEntry()
{
    if (!TextEntryOpen()) return;
    DestroyTextEntry();
    entryControl_ = nullptr;
    entryParameter_ = nullptr;
    entryState_ = TextEntryState::None;
}

void IGraphics::TextEntryStep()
{
    switch (entryState_) {
    case TextEntryState::Refresh: {
        char text[kParamTextSize] = {};
        if (entryParameter_) {
            // Host threads change the value under the plug-in lock.
            if (owner_) {
                LockGuard guard(owner_->Lock());
                entryParameter_->FormatForHost(entryParameter_->value(), false, text, sizeof text);
            } else {
                entryParameter_->FormatForHost(entryParameter_->value(), false, text, sizeof text);
            }
        }
        WriteTextEntry(text);
        entryState_ = TextEntryState::None;
        return;
    }
    case TextEntryState::Commit: {
        char text[kParamTextSize] = {};
        ReadTextEntry(text, sizeof text);
        text[sizeof text - 1] = '\0';
        if (entryControl_ && entryParameter_)
            entryControl_->SetValueAndPush(CommittedValue(*entryParameter_, text));
        EndTextEntry();
        return;
    }
    case TextEntryState::Cancel:
        EndTextEntry();
        return;
    default:
        entryState_ = TextEntryState::None;
        return;
    }
}

void IGraphics::WriteTextEntry(const char*) {}

void IGraphics::ReadTextEntry(char* out, std::size_t capacity)
{
    CopyBounded(out, capacity, "");
}

void IGraphics::DestroyTextEntry() {}

// ---- without a window -------------------------------------------------------------

bool IGraphics::PresentArea(const IRectangle&) { return true; }

bool IGraphics::DrawTextInBox(const ITextStyle&, const char*, const IRectangle&) { return true; }

bool IGraphics::IsWindowOpen() const { return false; }

void IGraphics::PromptForParameterValue(IControl*, IParameter*) {}

void IGraphics::HostExecutablePath(char* out, std::size_t capacity) { CopyBounded(out, capacity, ""); }

void IGraphics::PluginFilePath(char* out, std::size_t capacity) { CopyBounded(out, capacity, ""); }

void IGraphics::PromptForFile(char* path, std::size_t capacity, int, const char*, const char*)
{
    CopyBounded(path, capacity, "");
}

bool IGraphics::PromptForColour(IColourARGB&, const char*) { return false; }

bool IGraphics::OpenLink(const char*, const char*, const char*, const char*) { return false; }

void* IGraphics::OpenEditorWindow(void*) { return nullptr; }

void IGraphics::CloseEditorWindow() {}

void IGraphics::Idle() noexcept
{
    // Like a timer tick, this runs without the plug-in lock; controls that
    // push a value take it themselves. Nothing may unwind into the host.
    try {
        HostIdle();
    } catch (...) {
    }
}

void* IGraphics::WindowHandle() const { return nullptr; }

std::unique_ptr<IBitmap> IGraphics::DecodeImageResource(int, const char*) { return nullptr; }

} // namespace mg
