#pragma once
// The editor's model: the controls it owns, the off-screen draw surface and
// the per-tick redraw bookkeeping. It routes mouse and key events to the
// right control, keeps controls and parameters in step both ways and turns
// image resources into strips. It reaches the window system only through
// the virtual operations that the window part (IEditorWindow) supplies; the
// defaults here are those of an editor without a window.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "core/IEditorLink.h"
#include "editor/IBitmapStrip.h"
#include "editor/IBlendSpec.h"
#include "editor/IColourARGB.h"
#include "editor/IMouseModifiers.h"
#include "editor/IRectangle.h"
#include "editor/ITextStyle.h"
#include "editor/TextEntry.h"
#include "raster/IBitmap.h"
#include "raster/IMemoryBitmap.h"
#include "raster/ISystemBitmap.h"

namespace mg {

class IAudioPlugin;
class IControl;
class IParameter;
class ScaleMenuControl;

class IGraphics : public IEditorLink {
public:
    static constexpr int kDefaultFrameRate = 24;

    // A frame rate of 0 or less means the default.
    IGraphics(IAudioPlugin* owner, int width, int height, int frameRate);
    IGraphics(const IGraphics&) = delete;
    IGraphics& operator=(const IGraphics&) = delete;

    // ---- surface, drawing and platform operations ------------------------
    // Makes the width x height draw surface (and the scratch bitmap); false
    // when it could not be allocated.
    bool CreateDrawSurface() override;
    // Shows that area of the draw surface; nothing to show it on here.
    virtual bool PresentArea(const IRectangle& area);
    // Puts part of a strip's bitmap at `destination`, clipped to the area
    // being redrawn; `sourceX`, `sourceY` is the bitmap pixel that lands on
    // the destination's top-left. A null blend is method 0 at weight 1.
    virtual bool BlitBitmap(const IBitmapStrip& strip, const IRectangle& destination, int sourceX, int sourceY,
                            const IBlendSpec* blend);
    // Primitives for effects that draw by hand; no control calls them. The
    // turned images, points, lines, arcs, circles and spans draw only inside
    // the area being redrawn (and the surface) and combine pixels by the
    // IBlendSpec exactly as BlitBitmap does (null: method 0 at weight 1). Shapes are
    // aliased: each pixel is drawn once, at full strength, or not at all, and
    // both end points belong to a line or span. They answer false only
    // without a surface (PlotPoint: when it drew nothing).
    //
    // The strip's top frame turned clockwise by `degrees` about its centre,
    // centred in `destination` and drawn only inside it. Each pixel takes the
    // image pixel under its centre, so quarter turns are exact.
    virtual bool RotateBitmapInto(const IBitmapStrip& strip, const IRectangle& destination, double degrees,
                                  const IBlendSpec* blend);
    // The same seen through `mask`'s top frame, which does not turn: its
    // alpha, laid from the destination's top-left, says how much of the
    // turned image shows (none outside the mask).
    virtual bool RotateMaskedBitmapInto(const IBitmapStrip& strip, const IBitmapStrip& mask,
                                        const IRectangle& destination, double degrees, const IBlendSpec* blend);
    virtual bool PlotPoint(const IColourARGB& colour, int x, int y, const IBlendSpec* blend);
    // Writes one surface pixel as it is; false outside the surface.
    virtual bool SetPixelRaw(const IColourARGB& colour, int x, int y);
    // Every pixel from one end to the other once, the same either way round.
    virtual bool StrokeLine(const IColourARGB& colour, int x1, int y1, int x2, int y2, const IBlendSpec* blend);
    // From `startDegrees` clockwise to `endDegrees`, both measured clockwise
    // from 12 o'clock; an end below the start wraps past 12, a sweep of 360
    // or more is the whole circle.
    virtual bool StrokeArc(const IColourARGB& colour, int centreX, int centreY, int radius, double startDegrees,
                           double endDegrees, const IBlendSpec* blend);
    virtual bool StrokeCircle(const IColourARGB& colour, int centreX, int centreY, int radius,
                              const IBlendSpec* blend);
    // Fills the part of `rect` inside the area being redrawn. Overwrite
    // stores the colour as it is; every other method blends it by its alpha
    // and the weight.
    virtual bool FillRectangle(const IColourARGB& colour, const IRectangle& rect, const IBlendSpec* blend);
    virtual bool DrawTextInBox(const ITextStyle& style, const char* text, const IRectangle& rect);
    // The surface pixel at x, y; all channels 0 outside the surface.
    virtual IColourARGB ReadPixel(int x, int y) const;
    virtual std::uint32_t* SurfacePixels();
    virtual void ResizeEditor(int width, int height);
    virtual bool IsWindowOpen() const;
    // Opens the value box over `control` for `parameter`; nothing when either
    // is missing. A control calls it on a right-button press.
    virtual void PromptForParameterValue(IControl* control, IParameter* parameter);
    // Folders (with their trailing separator) of the host program and of
    // this plug-in, or an empty text when unknown.
    virtual void HostExecutablePath(char* out, std::size_t capacity);
    virtual void PluginFilePath(char* out, std::size_t capacity);
    // Action 1 saves, any other opens; the path is empty unless the user
    // chose a file.
    virtual void PromptForFile(char* path, std::size_t capacity, int action, const char* directory,
                               const char* extensions);
    // Replaces red, green and blue when the user confirms.
    virtual bool PromptForColour(IColourARGB& colour, const char* prompt);
    virtual bool OpenLink(const char* address, const char* title, const char* confirmText, const char* errorText);
    // Spare operation; answers 0.
    virtual int Reserved(int, int) { return 0; }
    // A child window of the host's `parent`, or null when there is none to
    // make (the host then has no editor to show).
    virtual void* OpenEditorWindow(void* parent);
    virtual void CloseEditorWindow();
    virtual void* WindowHandle() const;
    ~IGraphics() override;

    // ---- images ----------------------------------------------------------
    // The strip of image resource `id`, decoded on the first request in the
    // process and shared from then on. An image that does not decode is a
    // build fault and stops the process.
    virtual IBitmapStrip LoadBitmapStrip(int id, const char* fileName, int frameCount = 1);
    // `source` resized to width x height, each pixel the one under its centre
    // (twice the size doubles every pixel); null for a size of 0 or less.
    virtual std::unique_ptr<IMemoryBitmap> ScaledCopy(const IBitmap& source, int width, int height);
    // A copy of the part of `source` inside `area`; null when they do not meet.
    virtual std::unique_ptr<IMemoryBitmap> CroppedCopy(const IBitmap& source, const IRectangle& area);
    // Puts an image control of resource `id` under everything at index 0,
    // drawn by overwriting; controls already attached move up one index.
    virtual void AttachBackgroundImage(int id, const char* fileName);
    // Runs of pixels between two ends, both included, in either order; drawn
    // like the primitives above.
    virtual bool VerticalSpan(const IColourARGB& colour, int x, int y1, int y2, const IBlendSpec* blend);
    virtual bool HorizontalSpan(const IColourARGB& colour, int y, int x1, int x2, const IBlendSpec* blend);
    // Hands a bitmap to the image cache, which deletes it with the others
    // (or on DropBitmap).
    virtual void KeepBitmap(IBitmap* bitmap);
    virtual void DropBitmap(IBitmap* bitmap);
    // Decodes image resource `id`, picking the decoder by the file name's
    // extension; null when it cannot (here: always, there is no module).
    virtual std::unique_ptr<IBitmap> DecodeImageResource(int id, const char* fileName);
    // The host's idle call, from its user-interface or editor thread. Where
    // the platform has no timer of its own for the window, this handles the
    // window's input and redraws; elsewhere (and here) it does nothing.
    virtual void HostIdle() {}

    // ---- controls ----------------------------------------------------------
    // Appends the control and takes ownership; returns its index (-1 for null).
    int AttachControl(IControl* control);
    int AttachControl(std::unique_ptr<IControl> control);
    int ControlCount() const { return static_cast<int>(controlList_.size()); }
    // Null outside the list.
    IControl* ControlAt(int index) const;
    void HideControlsOfParameter(int parameterIndex, bool hidden);

    // ---- values from the plug-in side (host threads, plug-in lock held) ----
    // Moves every control bound to `parameterIndex` to the value; a plain
    // (not normalised) value is converted by that parameter first.
    void SetControlsFromParameter(int parameterIndex, double value, bool normalized) override;
    IGraphics* Graphics() override { return this; }
    // The binding's side of the link, over the operations above. The size
    // is in device pixels: the logical size at the current scale.
    int EditorWidth() const override;
    int EditorHeight() const override;
    // The host's word on its display; see ScalePercent for which scale wins.
    bool SetDisplayScale(double scale) override;
    bool OpenInParent(void* parent) override { return OpenEditorWindow(parent) != nullptr; }
    void CloseWindow() override { CloseEditorWindow(); }
    void Idle() noexcept override;
    // Ignored for an index outside the list.
    void SetControlValueFromPlugin(int controlIndex, double normalized);

    // ---- redraw ------------------------------------------------------------
    // Delivers every control's pending observer notifications and unites the
    // dirty controls' draw rectangles into `area`; true when any is dirty.
    bool CollectDirtyArea(IRectangle& area);
    // Redraws the controls that meet `area` into the draw surface, clipped
    // to it, settles every control's dirty state and presents the area.
    bool DrawDirtyArea(const IRectangle& area);
    // One tick of the window's timer: the value box's pending step when it
    // has one, else the redraw check.
    void RedrawTick();
    // Makes the next tick redraw the whole editor.
    void MarkAllControlsDirty();
    // Draws a frame (counted from 1; 1 or less is the top one) of a strip.
    bool DrawBitmapFrame(const IBitmapStrip& strip, const IRectangle& destination, int frame,
                         const IBlendSpec* blend);
    const IBitmap* DrawSurface() const { return surface_.get(); }
    const IRectangle& DrawArea() const { return drawArea_; }

    // ---- mouse and keys, in editor pixels (the window's thread) -------------
    // The captured control, else the topmost visible, enabled control under
    // the point; -1 for none.
    int HitTestControl(int x, int y) const;
    void MouseDown(int x, int y, const IMouseModifiers& modifiers);
    void MouseUp(int x, int y, const IMouseModifiers& modifiers);
    void MouseDrag(int x, int y, const IMouseModifiers& modifiers);
    // True asks the window to capture the pointer.
    bool MouseDoubleClick(int x, int y, const IMouseModifiers& modifiers);
    void MouseWheel(int x, int y, const IMouseModifiers& modifiers, int notches);
    void KeyPress(int x, int y, int keyCode);
    // True asks the window for a leave notification.
    bool MouseHover(int x, int y, const IMouseModifiers& modifiers);
    void MouseLeave();
    void SetHoverTracking(bool on) { hoverTracking_ = on; }

    int CapturedControl() const { return captured_; }
    int HoveredControl() const { return hovered_; }
    int LastMouseX() const { return lastX_; }
    int LastMouseY() const { return lastY_; }

    int Width() const { return width_; }
    int Height() const { return height_; }

    // ---- scale -----------------------------------------------------------------
    // Controls, events and drawing calls are in logical pixels (Width() x
    // Height()); the draw surface and the window have the logical size times
    // the scale, drawn from the image set of that scale. The scale is the
    // user's choice, else the host's word, else the system's, else 100 %.
    int ScalePercent() const { return scale_; }
    // 0 for none (automatic).
    int UserScalePercent() const { return userScale_; }
    // The user's pick of an offered step (0: automatic); true when the
    // editor now draws at the scale it leads to.
    bool SetUserScale(int percent);
    // What the system says (0: nothing), asked when the window opens.
    void SetSystemScale(int percent);
    // The user's pick from the size menu: applied at the next redraw tick
    // (not inside the press that made it, which the change would cut short)
    // and, when it took, kept in the choice file.
    void RequestUserScale(int percent) { pendingUserScale_ = percent; }
    // Where a pick is kept (see ScaleChoice.h); none: picks last as long as
    // the editor.
    void SetScaleChoiceFile(const std::filesystem::path& file) { scaleChoiceFile_ = file; }
    // Puts the size menu over every control attached so far; a right-button
    // press on the background (or on no control) opens it.
    void AttachScaleMenu();
    ScaleMenuControl* ScaleMenu() const { return scaleMenu_; }
    int FrameRate() const { return frameRate_; }
    IAudioPlugin* Owner() const { return owner_; }

    // ---- value box -----------------------------------------------------------
    bool TextEntryOpen() const { return entryControl_ != nullptr; }
    TextEntryState CurrentTextEntryState() const { return entryState_; }
    IControl* TextEntryControl() const { return entryControl_; }
    IParameter* TextEntryParameter() const { return entryParameter_; }

protected:
    // The window part moves the box's state (focus, Return, list selection,
    // a right-button press on the editor).
    void SetTextEntryState(TextEntryState state) { entryState_ = state; }
    // The window part calls this once its box exists.
    void BeginTextEntry(IControl* control, IParameter* parameter);
    // Destroys the box (DestroyTextEntry) and forgets it.
    void EndTextEntry();

    // Box operations of the window part: show a text, read the typed text,
    // destroy the box.
    virtual void WriteTextEntry(const char* text);
    virtual void ReadTextEntry(char* out, std::size_t capacity);
    virtual void DestroyTextEntry();
    // How a tick gets a dirty area onto the screen: a window invalidates it
    // and paints at once (ending in DrawDirtyArea); without one it is drawn
    // straight away.
    virtual void RepaintArea(const IRectangle& area);

    ISystemBitmap* Surface() { return surface_.get(); }

    // Switches to `percent` when every image has a set of it and the host's
    // window (when one is open) takes the new size; false keeps the old.
    bool ApplyScale(int percent);
    // A scale change is coming: the window part ends a held press (and its
    // edit gesture) and the value box.
    virtual void ScaleChanging() {}
    // The host's window around an open editor grows to the new device size;
    // false when it refused.
    virtual bool ResizeHostWindow(int width, int height);
    // Image resource `id` from the process's cache, decoded on the first
    // request; null when it does not decode.
    const IBitmap* CachedImage(int id, const char* fileName);
    // The bitmap a strip draws from at the current scale.
    const IBitmap* DeviceBitmap(const IBitmapStrip& strip) const;

private:
    void DeleteControls();
    void ApplyPendingUserScale();
    // A right-button press on the background (`hit`) opens the size menu;
    // true when it did.
    bool OpenScaleMenu(int x, int y, const IMouseModifiers& modifiers, int hit);
    void TextEntryStep();

    IAudioPlugin* owner_;
    int width_;
    int height_;
    int frameRate_;
    // The controls in attachment order, owned; the index is the control's.
    // Drawn first to last, hit-tested last to first.
    using ControlList = std::vector<std::unique_ptr<IControl>>;
    ControlList controlList_;
    IRectangle drawArea_;
    int captured_ = -1;
    int hovered_ = -1;
    int lastX_ = 0;
    int lastY_ = 0;
    bool hoverTracking_ = false;
    std::unique_ptr<ISystemBitmap> surface_;
    std::unique_ptr<IMemoryBitmap> scratch_;
    // Every image resource a strip was loaded from, and its bitmap at the
    // current scale.
    struct ScaledImage {
        int id;
        const char* fileName;
        const IBitmap* bitmap;
    };
    std::vector<ScaledImage> images_;
    int scale_ = 100;
    // The scale the host's window is being resized for: while it is asked,
    // the editor's size is the new one (hosts ask it from inside the request).
    int resizingTo_ = 0;
    int userScale_ = 0;
    int pendingUserScale_ = -1;
    std::filesystem::path scaleChoiceFile_;
    ScaleMenuControl* scaleMenu_ = nullptr;
    IControl* background_ = nullptr;
    int hostScale_ = 0;
    int systemScale_ = 0;
    IControl* entryControl_ = nullptr;
    IParameter* entryParameter_ = nullptr;
    TextEntryState entryState_ = TextEntryState::None;
};

} // namespace mg
