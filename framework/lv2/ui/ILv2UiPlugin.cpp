#include "lv2/ui/ILv2UiPlugin.h"

#include <cmath>

#include "editor/IGraphics.h"

namespace mg {

ILv2UiPlugin::ILv2UiPlugin(Host host, int parameterCount, const char* channelIOStr, int presetCount,
                           const PluginIdentity& identity, const PluginOptions& options)
    : IAudioPlugin(parameterCount, channelIOStr, presetCount, identity, options), host_(host ? *host : Lv2UiHost{})
{
}

ILv2UiPlugin::~ILv2UiPlugin()
{
    if (IGraphics* graphics = EditorGraphics()) {
        OnEditorClosed();
        graphics->CloseEditorWindow();
    }
}

std::uint32_t ILv2UiPlugin::ControlPort(int index) const
{
    return static_cast<std::uint32_t>(InputChannelCount() + OutputChannelCount() + index);
}

void* ILv2UiPlugin::OpenWindow(void* parent)
{
    IGraphics* graphics = EditorGraphics();
    if (!graphics) return nullptr;
    // The controls and the LED start from the parameters; the host's port
    // events follow.
    ChangeAllParameters();
    PushValuesToEditor();
    void* window = graphics->OpenEditorWindow(parent);
    if (window) OnEditorOpened();
    return window;
}

void ILv2UiPlugin::PortEvent(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer)
{
    const std::uint32_t first = ControlPort(0);
    if (format != 0 || size != sizeof(float) || !buffer || port < first) return;
    const int index = static_cast<int>(port - first);
    const IParameter* parameter = ParameterAt(index);
    if (!parameter) return;
    const float value = *static_cast<const float*>(buffer);
    if (!std::isfinite(value)) return;
    SetParameterFromHost(index, parameter->NormalizedOf(static_cast<double>(value)));
}

void ILv2UiPlugin::Idle()
{
    if (IGraphics* graphics = EditorGraphics()) graphics->HostIdle();
}

void ILv2UiPlugin::Touch(int index, bool grabbed)
{
    if (host_.touch && host_.touch->touch && ParameterAt(index))
        host_.touch->touch(host_.touch->handle, ControlPort(index), grabbed);
}

bool ILv2UiPlugin::ResizeHostWindow(int width, int height)
{
    if (!host_.resize || !host_.resize->ui_resize) return true;
    return host_.resize->ui_resize(host_.resize->handle, width, height) == 0;
}

void ILv2UiPlugin::BeginHostEdit(int index) { Touch(index, true); }

void ILv2UiPlugin::EndHostEdit(int index) { Touch(index, false); }

void ILv2UiPlugin::InformHostOfChange(int index, double)
{
    // The port is in the parameter's units: the value as the model stepped it.
    const IParameter* parameter = ParameterAt(index);
    if (!parameter || !host_.write) return;
    const float value = static_cast<float>(parameter->value());
    host_.write(host_.controller, ControlPort(index), sizeof value, 0, &value);
}

} // namespace mg
