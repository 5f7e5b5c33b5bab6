#include "IOffscreenEditor.h"

#include <cstring>

#include "editor/IControl.h"
#include "raster/BlitPixels.h"
#include "raster/DecodeImage.h"

#if defined(__unix__) || defined(__APPLE__)
#  include <climits>
#  include <cstdlib>
#  include <dlfcn.h>
#  include <unistd.h>
#  define MG_OFFSCREEN_PATHS 1
#endif

namespace mg {

#if defined(MG_OFFSCREEN_PATHS)
namespace {

// Any object of this library: its address tells dladdr which file we are.
const char kModuleAnchor = 0;

// `out` becomes the folder of `path` with its trailing separator; empty when
// the path has no folder part or the folder does not fit.
void FolderOf(const char* path, char* out, std::size_t capacity)
{
    CopyBounded(out, capacity, "");
    if (!path) return;
    const char* slash = std::strrchr(path, '/');
    if (!slash || slash[1] == '\0') return;
    const std::size_t length = static_cast<std::size_t>(slash - path) + 1;
    if (length >= capacity) return;
    std::memcpy(out, path, length);
    out[length] = '\0';
}

} // namespace
#endif

IOffscreenEditor::IOffscreenEditor(IAudioPlugin* owner, int width, int height, int frameRate)
    : IGraphics(owner, width, height, frameRate)
{
}

IOffscreenEditor::~IOffscreenEditor()
{
    // While this part's record of the box is still there to clear.
    EndTextEntry();
}

bool IOffscreenEditor::CreateDrawSurface()
{
    const bool made = IGraphics::CreateDrawSurface();
    presented_.Resize(Width(), Height());
    if (presented_.Pixels())
        std::memset(presented_.Pixels(), 0,
                    static_cast<std::size_t>(presented_.Width()) * static_cast<std::size_t>(presented_.Height()) * 4);
    return made;
}

bool IOffscreenEditor::PresentArea(const IRectangle& area)
{
    ++presentCount_;
    lastPresented_ = area;
    const IBitmap* surface = DrawSurface();
    if (!surface) return true;
    if (presented_.Width() != surface->Width() || presented_.Height() != surface->Height())
        presented_.Resize(surface->Width(), surface->Height());
    const PixelRect rect{area.left, area.top, area.right, area.bottom};
    BlitPixels(presented_, *surface, area.left, area.top, &rect, 1.0f, kPixelOverwrite);
    return true;
}

void IOffscreenEditor::ResizeEditor(int width, int height)
{
    IGraphics::ResizeEditor(width, height);
    if (DrawSurface()) presented_.Resize(width, height);
}

void IOffscreenEditor::PromptForParameterValue(IControl* control, IParameter* parameter)
{
    if (!control || !parameter || TextEntryOpen()) return;
    plan_ = PlanTextEntry(control->DrawRect(), *parameter);
    CopyBounded(promptText_, plan_.choiceList ? "" : plan_.text);
    if (plan_.choiceList && plan_.selection >= 0) CopyBounded(promptText_, parameter->ValueTextAt(plan_.selection));
    BeginTextEntry(control, parameter);
}

void IOffscreenEditor::TypeInPrompt(const char* text)
{
    if (TextEntryOpen()) CopyBounded(promptText_, text);
}

void IOffscreenEditor::FocusPrompt(bool focused)
{
    if (TextEntryOpen()) SetTextEntryState(focused ? TextEntryState::Focused : TextEntryState::None);
}

void IOffscreenEditor::CommitPrompt()
{
    if (TextEntryOpen()) SetTextEntryState(TextEntryState::Commit);
}

void IOffscreenEditor::CancelPrompt()
{
    if (TextEntryOpen()) SetTextEntryState(TextEntryState::Cancel);
}

void IOffscreenEditor::WriteTextEntry(const char* text)
{
    CopyBounded(promptText_, text);
}

void IOffscreenEditor::ReadTextEntry(char* out, std::size_t capacity)
{
    CopyBounded(out, capacity, promptText_);
}

void IOffscreenEditor::DestroyTextEntry()
{
    plan_ = TextEntryPlan{};
    CopyBounded(promptText_, "");
}

void IOffscreenEditor::HostExecutablePath(char* out, std::size_t capacity)
{
    CopyBounded(out, capacity, "");
#if defined(MG_OFFSCREEN_PATHS) && defined(__linux__)
    char path[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return;
    path[n] = '\0';
    FolderOf(path, out, capacity);
#endif
}

void IOffscreenEditor::PluginFilePath(char* out, std::size_t capacity)
{
    CopyBounded(out, capacity, "");
#if defined(MG_OFFSCREEN_PATHS)
    Dl_info info{};
    if (dladdr(&kModuleAnchor, &info) == 0 || !info.dli_fname) return;
    // The loader reports the name it was given, which may be relative to a
    // working folder that has changed since.
    char resolved[PATH_MAX] = {};
    FolderOf(realpath(info.dli_fname, resolved) ? resolved : info.dli_fname, out, capacity);
#endif
}

std::unique_ptr<IBitmap> IOffscreenEditor::DecodeImageResource(int id, const char* fileName)
{
    return DecodeImageByName(module_, id, fileName);
}

} // namespace mg
