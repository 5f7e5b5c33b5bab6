// The LV2 library's exported entry point: one pedal per instance.
#include "MarrowGrit.h"
#include "PedalLv2.h"
#include "lv2/Lv2Entry.h"

MG_LV2_ENTRY(mg::MarrowGrit, mg::kPedalLv2Uri)
