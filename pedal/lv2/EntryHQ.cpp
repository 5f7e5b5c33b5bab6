// The HQ library's exported LV2 entry point: one HQ pedal per instance.
#include "MarrowGritHQ.h"
#include "PedalLv2.h"
#include "lv2/Lv2Entry.h"

MG_LV2_ENTRY(mg::MarrowGritHQ, mg::kPedalHqLv2Uri)
