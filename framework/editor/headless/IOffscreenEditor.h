#pragma once
// The editor without a window of its own: ticks draw into the draw surface
// and "present" the dirty area into a second surface that tools and tests
// can read, and the value prompt is recorded instead of shown, with the
// user's side of it (typing, Return, cancel) available as calls. It is the
// whole window part of builds without a window system, and the part of the
// X11 window that works whether or not a window is open.
#include <cstddef>
#include <memory>

#include "core/FixedText.h"
#include "core/IParameter.h"
#include "editor/IGraphics.h"
#include "raster/IMemoryBitmap.h"
#include "raster/Resources.h"

namespace mg {

class IOffscreenEditor : public IGraphics {
public:
    IOffscreenEditor(IAudioPlugin* owner, int width, int height, int frameRate);
    ~IOffscreenEditor() override;

    // The module whose resources hold the editor's images.
    void SetModuleInstance(ModuleHandle module) { module_ = module; }
    ModuleHandle ModuleInstance() const { return module_; }

    bool CreateDrawSurface() override;
    bool PresentArea(const IRectangle& area) override;
    void ResizeEditor(int width, int height) override;
    // Records the box it would open (see Prompt()).
    void PromptForParameterValue(IControl* control, IParameter* parameter) override;
    // The folder of /proc/self/exe and of the shared object holding this code.
    void HostExecutablePath(char* out, std::size_t capacity) override;
    void PluginFilePath(char* out, std::size_t capacity) override;
    std::unique_ptr<IBitmap> DecodeImageResource(int id, const char* fileName) override;

    // ---- for tools and tests -------------------------------------------
    // What the window would show: every area presented so far, copied from
    // the draw surface. Black until the first present.
    const IBitmap& PresentedSurface() const { return presented_; }
    int PresentCount() const { return presentCount_; }
    const IRectangle& LastPresentedArea() const { return lastPresented_; }

    // The open value box, or null.
    const TextEntryPlan* Prompt() const { return TextEntryOpen() ? &plan_ : nullptr; }
    const char* PromptText() const { return promptText_; }
    // The user's side of the box: type (or pick) a text, focus it, press
    // Return (commit) or cancel it. The next RedrawTick acts on it.
    virtual void TypeInPrompt(const char* text);
    void FocusPrompt(bool focused);
    void CommitPrompt();
    void CancelPrompt();

protected:
    void WriteTextEntry(const char* text) override;
    void ReadTextEntry(char* out, std::size_t capacity) override;
    void DestroyTextEntry() override;

    // The recorded box, which a window part shows and edits in place.
    static constexpr std::size_t kPromptCapacity = kParamTextSize;
    const TextEntryPlan& PromptPlan() const { return plan_; }
    char* PromptBuffer() { return promptText_; }
    void SetPromptText(const char* text) { CopyBounded(promptText_, text); }

private:
    ModuleHandle module_{};
    IMemoryBitmap presented_;
    int presentCount_ = 0;
    IRectangle lastPresented_;
    TextEntryPlan plan_;
    char promptText_[kPromptCapacity] = {};
};

} // namespace mg
