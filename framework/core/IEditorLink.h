#pragma once
// What the plug-in core asks of the editor it owns: the few calls it makes,
// declared here so that the core needs none of the editor's headers. The
// editor's model (IGraphics) implements it.
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
    // The editor itself, for the binding and the effect; the core only
    // hands it on.
    virtual IGraphics* Graphics() = 0;

protected:
    IEditorLink() = default;
    IEditorLink(const IEditorLink&) = default;
    IEditorLink& operator=(const IEditorLink&) = default;
};

} // namespace mg
