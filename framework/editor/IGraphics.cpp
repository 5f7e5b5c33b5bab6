#include "IGraphics.h"

#include "core/IAudioPlugin.h"

namespace mg {

IGraphics::IGraphics(IAudioPlugin* owner, int width, int height, int frameRate)
    : owner_(owner), width_(width), height_(height), frameRate_(frameRate > 0 ? frameRate : 24)
{
}

IGraphics::~IGraphics() = default;

bool IGraphics::CreateDrawSurface() { return true; }

void* IGraphics::OpenEditorWindow(void*) { return nullptr; }

void IGraphics::CloseEditorWindow() {}

void IGraphics::SetControlsFromParameter(int parameterIndex, double value, bool normalized)
{
    const IParameter* parameter = owner_ ? owner_->ParameterAt(parameterIndex) : nullptr;
    if (!parameter) return;
    const double n = normalized ? value : parameter->NormalizedOf(value);
    (void)n; // controls arrive with the control classes
}

void IGraphics::SetControlValueFromPlugin(int, double) {}

} // namespace mg
