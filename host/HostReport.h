#pragma once
// The --verbose summary of what a plug-in asked of the host.
#include <cstdio>

namespace mg::host {

class HostContext;

void PrintHostRequests(const HostContext& host, std::FILE* out);

} // namespace mg::host
