#pragma once
// The editor's model: what the plug-in core sees of it.
namespace mg {

class IAudioPlugin;

class IGraphics {
public:
    IGraphics(IAudioPlugin* owner, int width, int height, int frameRate);
    virtual ~IGraphics();
    IGraphics(const IGraphics&) = delete;
    IGraphics& operator=(const IGraphics&) = delete;

    virtual bool CreateDrawSurface();

    // The window part: a child window of the host's `parent`, or null when
    // this platform part has no window.
    virtual void* OpenEditorWindow(void* parent);
    virtual void CloseEditorWindow();

    // Moves every control bound to `parameterIndex` to the value; a plain
    // (not normalised) value is converted by that parameter first.
    void SetControlsFromParameter(int parameterIndex, double value, bool normalized);
    // Moves one control, by its index in the control list; other indices are ignored.
    void SetControlValueFromPlugin(int controlIndex, double normalized);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int FrameRate() const { return frameRate_; }
    IAudioPlugin* Owner() const { return owner_; }

private:
    IAudioPlugin* owner_;
    int width_;
    int height_;
    int frameRate_;
};

} // namespace mg
