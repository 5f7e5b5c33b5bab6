#include "lv2/ui/Lv2UiEntry.h"

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>

#include "editor/IGraphics.h"

namespace mg {

namespace {

ILv2UiPlugin* Instance(LV2UI_Handle handle) { return static_cast<ILv2UiPlugin*>(handle); }

const void* Feature(const LV2_Feature* const* features, const char* uri)
{
    for (const LV2_Feature* const* f = features; f && *f; ++f)
        if ((*f)->URI && std::strcmp((*f)->URI, uri) == 0) return (*f)->data;
    return nullptr;
}

// The host's display scale from the options feature (ui:scaleFactor, a
// float); 0 when the host gives none.
double ScaleFactor(const LV2_Feature* const* features)
{
    const auto* map = static_cast<const LV2_URID_Map*>(Feature(features, LV2_URID__map));
    const auto* options = static_cast<const LV2_Options_Option*>(Feature(features, LV2_OPTIONS__options));
    if (!map || !map->map || !options) return 0.0;
    const LV2_URID scaleFactor = map->map(map->handle, LV2_UI__scaleFactor);
    const LV2_URID floatType = map->map(map->handle, LV2_ATOM__Float);
    for (const LV2_Options_Option* o = options; o->key != 0 || o->value != nullptr; ++o)
        if (o->key == scaleFactor && o->type == floatType && o->size == sizeof(float) && o->value)
            return static_cast<double>(*static_cast<const float*>(o->value));
    return 0.0;
}

LV2UI_Handle Instantiate(const LV2UI_Descriptor* descriptor, const char*, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                         const LV2_Feature* const* features) noexcept
{
    const char* uri = descriptor && descriptor->URI ? descriptor->URI : "UI";
    void* parent = const_cast<void*>(Feature(features, LV2_UI__parent));
    if (!descriptor || !widget || !parent) {
        std::fprintf(stderr, "%s: the host gave no parent window to open in\n", uri);
        return nullptr;
    }
    try {
        const auto* resize = static_cast<const LV2UI_Resize*>(Feature(features, LV2_UI__resize));
        const Lv2UiHost host{write, controller, static_cast<const LV2UI_Touch*>(Feature(features, LV2_UI__touch)),
                             resize};
        std::unique_ptr<ILv2UiPlugin> ui(reinterpret_cast<const Lv2UiDescriptor*>(descriptor)->create(&host));
        if (const double scale = ScaleFactor(features); scale != 0.0)
            if (IGraphics* graphics = ui->EditorGraphics()) graphics->SetDisplayScale(scale);
        void* window = ui->OpenWindow(parent);
        if (!window) {
            std::fprintf(stderr, "%s: cannot open a window (no X display, or the parent window is gone)\n", uri);
            return nullptr;
        }
        if (resize && resize->ui_resize)
            if (IGraphics* graphics = ui->EditorGraphics())
                resize->ui_resize(resize->handle, graphics->EditorWidth(), graphics->EditorHeight());
        *widget = window;
        return ui.release();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: cannot be created: %s\n", uri, e.what());
    } catch (...) {
        std::fprintf(stderr, "%s: cannot be created\n", uri);
    }
    return nullptr;
}

void Cleanup(LV2UI_Handle handle) noexcept
{
    try {
        delete Instance(handle);
    } catch (...) {
    }
}

void PortEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer) noexcept
{
    try {
        if (handle) Instance(handle)->PortEvent(port, size, format, buffer);
    } catch (...) {
    }
}

int Idle(LV2UI_Handle handle) noexcept
{
    try {
        if (handle) Instance(handle)->Idle();
    } catch (...) {
    }
    return 0;
}

const void* ExtensionData(const char* uri) noexcept
{
    static const LV2UI_Idle_Interface idle{&Idle};
    return uri && std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &idle : nullptr;
}

} // namespace

Lv2UiDescriptor MakeLv2UiDescriptor(const char* uri, Lv2UiFactory create)
{
    return Lv2UiDescriptor{{uri, &Instantiate, &Cleanup, &PortEvent, &ExtensionData}, create};
}

} // namespace mg
