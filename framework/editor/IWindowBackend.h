#pragma once
// What a platform gives the editor window (IEditorWindow): a child window in
// the host's, pixels shown in it, native input turned into WindowEvents, a
// tick (a timer of the platform, or the host's idle calls) and the native
// side of the value box. Everything that decides what the input means lives
// in IEditorWindow, once for every platform.
//
// A backend lives as long as its editor and is used on the thread that owns
// the editor window.
#include <cstddef>
#include <memory>

#include "editor/IColourARGB.h"
#include "editor/IRectangle.h"
#include "editor/ITextStyle.h"
#include "editor/TextEntry.h"
#include "raster/Resources.h"

namespace mg {

class IBitmap;
class IEditorWindow;
class IParameter;

// Where platforms differ for good; see IEditorWindow for what each changes.
struct WindowTraits {
    // The platform tells a double click from two presses (else the editor
    // times the presses).
    bool reportsDoubleClicks = false;
    // Every button release reaches the editor, whether or not its press did.
    bool releasesAlwaysReachEditor = false;
    // The value box is the editor's own drawing, not a native control of the
    // platform: it has the keyboard from the start and any press on the
    // editor outside it puts it away.
    bool ownValueBox = false;
};

class IWindowBackend {
public:
    virtual ~IWindowBackend() = default;

    virtual WindowTraits Traits() const = 0;

    // A visible child of the host's `parent` of the editor's size; when one
    // is open already, the new one takes its place and size. False when no
    // window can be made (the old one is then gone too).
    virtual bool Open(void* parent) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual void* Handle() const = 0;
    // Shows that area of the draw surface in the window.
    virtual bool Present(const IBitmap& surface, const IRectangle& area) = 0;
    // True when the platform will ask for the area to be painted (a Paint
    // event) before this returns; false: the editor draws it itself.
    virtual bool Repaint(const IRectangle& area) = 0;
    // The window (and the host's windows around it) change by the new size
    // less the old.
    virtual void Resize(int oldWidth, int oldHeight, int width, int height) = 0;
    // The system's display scale (1 = 100 %) where a window in `parent`
    // would show; 0 when the platform does not say.
    virtual double SystemScale(void* /*parent*/) { return 0.0; }
    // Keeps pointer events coming to the window while a button is held.
    virtual void Capture(bool on) = 0;
    // The host's idle call: delivers the queued input and asks the editor
    // for its tick (IEditorWindow::TickWhenDue). Nothing where a timer of the
    // platform ticks.
    virtual void HostIdle() {}

    // The value box over a control, as IEditorWindow planned it; false when
    // the platform could not make it. ShowBox shows the editor's prompt
    // text; ReadBox reads the native box's text, false when the editor's
    // prompt text is the box's.
    virtual bool OpenBox(const TextEntryPlan& plan, const IParameter& parameter) = 0;
    virtual void ShowBox() = 0;
    virtual bool ReadBox(char* out, std::size_t capacity) = 0;
    virtual void CloseBox() = 0;
    virtual void* BoxHandle() const = 0;

    // Services some platforms have; the defaults are those of one without.
    virtual bool DrawTextInBox(const ITextStyle&, const char*, const IRectangle&) { return true; }
    virtual void PromptForFile(char*, std::size_t, int, const char*) {}
    virtual bool PromptForColour(IColourARGB&, const char*) { return false; }
    virtual bool OpenLink(const char*, const char*, const char*, const char*) { return false; }
};

// Made by the window backend the plug-in is linked with: one per platform.
std::unique_ptr<IWindowBackend> MakeWindowBackend(IEditorWindow& editor);

// Folders, with their trailing separator, of the host program and of the
// module holding this code; empty when unknown or too long for `capacity`.
// The window backend's platform supplies them.
void HostProgramFolder(char* out, std::size_t capacity);
void ModuleFolder(ModuleHandle module, char* out, std::size_t capacity);

} // namespace mg
