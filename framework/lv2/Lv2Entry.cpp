#include "lv2/Lv2Entry.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <memory>

namespace mg {

namespace {

ILv2Plugin* Instance(LV2_Handle handle) { return static_cast<ILv2Plugin*>(handle); }

LV2_Handle Instantiate(const LV2_Descriptor* descriptor, double rate, const char*,
                       const LV2_Feature* const* features) noexcept
{
    const char* uri = descriptor && descriptor->URI ? descriptor->URI : "plug-in";
    // A rate that is no positive number would poison every filter design.
    if (!(std::isfinite(rate) && rate > 0.0)) {
        std::fprintf(stderr, "%s: cannot run at a sample rate of %g Hz\n", uri, rate);
        return nullptr;
    }
    if (!descriptor) return nullptr;
    try {
        const Lv2Host host{rate, features};
        std::unique_ptr<ILv2Plugin> plugin(reinterpret_cast<const Lv2Descriptor*>(descriptor)->create(&host));
        plugin->Open(rate);
        return plugin.release();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: cannot be created: %s\n", uri, e.what());
    } catch (...) {
        std::fprintf(stderr, "%s: cannot be created\n", uri);
    }
    return nullptr;
}

void ConnectPort(LV2_Handle handle, uint32_t port, void* data) noexcept
{
    if (handle) Instance(handle)->ConnectPort(port, data);
}

void Activate(LV2_Handle handle) noexcept
{
    try {
        if (handle) Instance(handle)->Activate();
    } catch (...) {
    }
}

void Run(LV2_Handle handle, uint32_t frames) noexcept
{
    try {
        if (handle) Instance(handle)->Run(frames);
    } catch (...) {
    }
}

void Deactivate(LV2_Handle handle) noexcept
{
    try {
        if (handle) Instance(handle)->Deactivate();
    } catch (...) {
    }
}

void Cleanup(LV2_Handle handle) noexcept
{
    try {
        delete Instance(handle);
    } catch (...) {
    }
}

const void* ExtensionData(const char*) noexcept { return nullptr; }

} // namespace

Lv2Descriptor MakeLv2Descriptor(const char* uri, Lv2Factory create)
{
    return Lv2Descriptor{{uri, &Instantiate, &ConnectPort, &Activate, &Run, &Deactivate, &Cleanup, &ExtensionData},
                         create};
}

} // namespace mg
