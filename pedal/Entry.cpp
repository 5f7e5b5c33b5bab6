// The library's exported entry points create one pedal per call.
#include "MarrowGrit.h"
#include "vst/VstEntry.h"

MG_VST_ENTRY(mg::MarrowGrit)
