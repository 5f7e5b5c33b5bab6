#pragma once
// One element of the editor: a rectangle on the draw surface, a normalised
// value 0..1, optionally the parameter it is bound to. Values set by the
// user go to the plug-in through SetParameterFromGUI; values from the
// plug-in side arrive through SetValueFromPlugin and are never echoed back.
//
// Host threads store values and raise the redraw flags under the plug-in
// lock while the editor's timer reads them without it, so the value, the
// default and the flags are relaxed atomics. Everything else belongs to the
// editor's thread (or to construction).
#include "editor/IBlendSpec.h"
#include "editor/IMouseModifiers.h"
#include "editor/IRectangle.h"
#include "editor/ISubject.h"
#include "editor/RelaxedAtomic.h"

namespace mg {

class IAudioPlugin;
class IGraphics;

class IControl : public ISubject {
public:
    IControl(IAudioPlugin* owner, const IRectangle& drawRect, int parameterIndex = -1,
             const IBlendSpec& blend = IBlendSpec{});
    ~IControl() override;

    // Default: a right-button press opens the value prompt.
    virtual void MouseDown(int x, int y, const IMouseModifiers& modifiers);
    virtual void MouseUp(int x, int y, const IMouseModifiers& modifiers);
    virtual void MouseDrag(int x, int y, int dx, int dy, const IMouseModifiers& modifiers);
    // Default: back to the first value the plug-in gave, when there was one.
    virtual void MouseDoubleClick(int x, int y, const IMouseModifiers& modifiers);
    // Default: 0.01 a notch, 0.001 with shift or control.
    virtual void MouseWheel(int x, int y, const IMouseModifiers& modifiers, int notches);
    virtual void KeyPress(int x, int y, int keyCode);
    virtual void MouseHover(int x, int y, const IMouseModifiers& modifiers);
    virtual void MouseLeave();
    virtual bool Draw(IGraphics& graphics) = 0;
    virtual void SetValueFromPlugin(double value);
    virtual void SetHidden(bool hidden);
    // A grayed control is drawn faintly and ignores the mouse.
    virtual void SetGrayed(bool grayed);
    virtual bool HitTest(int x, int y);
    // Pulls the value into the clamp range, asks for a redraw and a
    // notification of observers, and with `push` sends the value to the
    // bound parameter.
    virtual void MarkDirty(bool push);
    // After a redraw: dirty again only when a redraw was left pending.
    virtual void ClearDirty();
    virtual bool IsDirty() const;
    // Spare hook; nothing calls it.
    virtual void Reserved() {}

    // Opens the value prompt for the bound parameter unless prompting is off.
    void PromptForValue();
    // Sets and pushes a new value (nothing when it is the current one).
    void SetValueAndPush(double value);

    double Value() const { return value_; }
    // Stores a value as it is: no clamping, no redraw, no push.
    void SetValue(double value) { value_ = value; }
    double DefaultValue() const { return defaultValue_; }
    void SetDefaultValue(double value) { defaultValue_ = value; }
    double LowerClamp() const { return lowerClamp_; }
    double UpperClamp() const { return upperClamp_; }
    void SetClamp(double lower, double upper);

    const IRectangle& DrawRect() const { return drawRect_; }
    const IRectangle& TargetRect() const { return targetRect_; }
    void SetTargetRect(const IRectangle& rect) { targetRect_ = rect; }
    int ParameterIndex() const { return parameterIndex_; }
    bool IsHidden() const { return hidden_; }
    bool IsGrayed() const { return grayed_; }
    bool RedrawPending() const { return redrawPending_; }
    bool PromptDisabled() const { return promptDisabled_; }
    void SetPromptDisabled(bool disabled) { promptDisabled_ = disabled; }
    bool DoubleClickAsPress() const { return doubleClickAsPress_; }
    void SetDoubleClickAsPress(bool on) { doubleClickAsPress_ = on; }
    const IBlendSpec& Blend() const { return blend_; }
    IAudioPlugin* Owner() const { return owner_; }
    // The editor it is attached to; null before attachment.
    IGraphics* Graphics() const { return graphics_; }

protected:
    void SetRedrawPending() { redrawPending_ = true; }

private:
    friend class IGraphics; // sets graphics_ when attaching

    IAudioPlugin* owner_;
    IGraphics* graphics_ = nullptr;
    IRectangle drawRect_;
    IRectangle targetRect_;
    int parameterIndex_;
    RelaxedAtomic<double> value_{0.0};
    // Negative until the plug-in side gives the first value.
    RelaxedAtomic<double> defaultValue_{-1.0};
    double lowerClamp_ = 0.0;
    double upperClamp_ = 1.0;
    RelaxedAtomic<bool> dirty_{true};
    RelaxedAtomic<bool> hidden_{false};
    bool grayed_ = false;
    // Turns into the dirty state at the next ClearDirty, so a change made
    // while a redraw is under way is drawn on the following tick as well.
    RelaxedAtomic<bool> redrawPending_{false};
    bool promptDisabled_ = false;
    bool doubleClickAsPress_ = false;
    IBlendSpec blend_;
};

} // namespace mg
