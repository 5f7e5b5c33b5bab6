// The LV2 UI library's exported entry point: the pedal's editor, one per UI
// instance, talking to the DSP through its ports.
#include "MarrowGrit.h"
#include "PedalLv2.h"
#include "lv2/ui/Lv2UiEntry.h"

MG_LV2_UI_ENTRY(mg::MarrowGrit, mg::kPedalLv2UiUri)
