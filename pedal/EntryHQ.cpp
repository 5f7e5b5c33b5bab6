// The HQ library's exported entry points create one HQ pedal per call.
#include "MarrowGritHQ.h"
#include "vst/VstEntry.h"

MG_VST_ENTRY(mg::MarrowGritHQ)
