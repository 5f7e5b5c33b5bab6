#pragma once
// The UI library's LV2 entry point: one UI descriptor per effect class,
// whose callbacks reach the effect's UI binding. Nothing thrown inside
// crosses back into the host.
#include <lv2/ui/ui.h>

#include "lv2/ui/ILv2UiPlugin.h"

namespace mg {

using Lv2UiFactory = ILv2UiPlugin* (*)(ILv2UiPlugin::Host host);

// The host sees `descriptor`; the factory rides behind it.
struct Lv2UiDescriptor {
    LV2UI_Descriptor descriptor;
    Lv2UiFactory create;
};

Lv2UiDescriptor MakeLv2UiDescriptor(const char* uri, Lv2UiFactory create);

} // namespace mg

// Defines lv2ui_descriptor for one effect class under its UI's URI.
#define MG_LV2_UI_ENTRY(Plugin, uri)                                                                 \
    LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index)                       \
    {                                                                                                \
        static const mg::Lv2UiDescriptor descriptor = mg::MakeLv2UiDescriptor(                       \
            uri, [](mg::ILv2UiPlugin::Host host) -> mg::ILv2UiPlugin* { return new Plugin(host); }); \
        return index == 0 ? &descriptor.descriptor : nullptr;                                        \
    }
