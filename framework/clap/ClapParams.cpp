// The params extension: the parameter model's records as the host sees
// them, in their own units, with their texts.
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "clap/IClapPlugin.h"
#include "core/FixedText.h"

namespace mg {

namespace {

// Whether every whole value in the parameter's range has a text of its own.
bool EveryStepNamed(const IParameter& parameter)
{
    if (parameter.ValueTextCount() == 0 || parameter.maximum() - parameter.minimum() > 1024.0) return false;
    for (double v = parameter.minimum(); v <= parameter.maximum(); v += 1.0)
        if (parameter.ValueTextFor(static_cast<int>(v))[0] == '\0') return false;
    return true;
}

} // namespace

bool IClapPlugin::ParamInfo(std::uint32_t index, clap::param_info_t* info) const
{
    const IParameter* parameter = index < defaults_.size() ? ParameterAt(static_cast<int>(index)) : nullptr;
    if (!info || !parameter) return false;
    *info = {};
    info->id = index;
    info->flags = clap::kParamIsAutomatable;
    if (!parameter->IsContinuous()) {
        info->flags |= clap::kParamIsStepped;
        if (EveryStepNamed(*parameter)) info->flags |= clap::kParamIsEnum;
    }
    CopyBounded(info->name, parameter->name());
    info->min_value = parameter->minimum();
    info->max_value = parameter->maximum();
    info->default_value = parameter->Clamp(defaults_[index]);
    return true;
}

bool IClapPlugin::ParamValue(clap::id_t id, double* value)
{
    if (!value || id >= static_cast<std::uint32_t>(ParameterCount())) return false;
    LockGuard guard(Lock());
    *value = ParameterAt(static_cast<int>(id))->value();
    return true;
}

bool IClapPlugin::ParamToText(clap::id_t id, double value, char* out, std::uint32_t capacity)
{
    if (!out || capacity == 0 || id >= static_cast<std::uint32_t>(ParameterCount()) || !std::isfinite(value))
        return false;
    const IParameter* parameter = ParameterAt(static_cast<int>(id));
    parameter->FormatForHost(parameter->Clamp(value), false, out, capacity);
    return true;
}

bool IClapPlugin::ParamFromText(clap::id_t id, const char* text, double* value)
{
    if (!text || !value || id >= static_cast<std::uint32_t>(ParameterCount())) return false;
    const IParameter* parameter = ParameterAt(static_cast<int>(id));
    int named = 0;
    if (parameter->ValueFromText(text, named)) {
        *value = named;
        return true;
    }
    // A number, with nothing after it but blanks.
    char* end = nullptr;
    errno = 0;
    const double number = std::strtod(text, &end);
    if (end == text || errno == ERANGE || !std::isfinite(number)) return false;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end != '\0') return false;
    *value = parameter->Clamp(number);
    return true;
}

} // namespace mg
