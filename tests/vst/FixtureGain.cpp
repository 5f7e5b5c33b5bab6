// The fixture effect as a VST 2.4 library, loaded by the tests through the
// library's entry points.
#include "FixtureGain.h"
#include "vst/VstEntry.h"

MG_VST_ENTRY(mg::test::FixtureGain)
