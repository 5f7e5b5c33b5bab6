#pragma once
// The C functions a CLAP host calls, gathered in the plug-in record and the
// extension tables. Each reaches the instance through the record and lets
// no C++ exception out.
#include "clap/ClapAbi.h"

namespace mg {

// The plug-in record's functions; desc and plugin_data are left null.
const clap::plugin_t& ClapRecordFunctions();
// The plug-in side of an extension, or null for one this binding lacks.
const void* ClapExtension(const char* id);

} // namespace mg
