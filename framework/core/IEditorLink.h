#pragma once
// What the plug-in core and its bindings ask of the editor the effect
// builds: the few calls they make, declared here so that neither needs the
// editor's headers. The editor's model (IGraphics) implements it.
namespace mg {

class IGraphics;

class IEditorLink {
public:
    virtual ~IEditorLink() = default;

    // Moves the controls bound to a parameter; a plain value is converted
    // by that parameter first. Called with the plug-in lock held.
    virtual void SetControlsFromParameter(int parameterIndex, double value, bool normalized) = 0;
    // Makes the off-screen surface once the controls hold their values.
    virtual bool CreateDrawSurface() = 0;
    // The editor itself, for the effect that built it; the core and the
    // bindings only hand it on.
    virtual IGraphics* Graphics() = 0;

    // ---- what a binding does with the editor, on the host's UI thread -----
    // The editor's size in the host's pixels.
    virtual int EditorWidth() const = 0;
    virtual int EditorHeight() const = 0;
    // Opens the editor as a child of the host's native window (an HWND, an
    // X11 window id); false when the platform cannot make one there.
    virtual bool OpenInParent(void* parent) = 0;
    virtual void CloseWindow() = 0;
    // The host's regular idle or timer call while the editor is open: where
    // the platform has no timer of its own, input and redraws run here.
    // Nothing may unwind out of it.
    virtual void Idle() noexcept = 0;
    // The host's word on its display's scale (1 = 100 %); false when the
    // editor keeps its size. The editor draws at one size today.
    virtual bool SetDisplayScale(double scale) { return scale == 1.0; }

protected:
    IEditorLink() = default;
    IEditorLink(const IEditorLink&) = default;
    IEditorLink& operator=(const IEditorLink&) = default;
};

} // namespace mg
