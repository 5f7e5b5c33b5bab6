#pragma once
// `mg-host info PLUGIN`: what the plug-in says about itself, in the stable
// line format documented in --help.
#include <cstdio>

#include "CommandLine.h"

namespace mg::host {

int RunInfo(const InfoOptions& options, std::FILE* out);

} // namespace mg::host
