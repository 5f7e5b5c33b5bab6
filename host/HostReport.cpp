#include "HostReport.h"

#include "HostContext.h"

namespace mg::host {
namespace {

struct NamedOpcode {
    vst::int32 opcode;
    const char* name;
};

constexpr NamedOpcode kNamed[] = {
    {vst::audioMasterAutomate, "automate"},
    {vst::audioMasterBeginEdit, "begin edit"},
    {vst::audioMasterEndEdit, "end edit"},
    {vst::audioMasterProcessEvents, "process events"},
    {vst::audioMasterGetTime, "get time"},
    {vst::audioMasterVersion, "version"},
    {vst::audioMasterCanDo, "can do"},
    {vst::audioMasterGetCurrentProcessLevel, "process level"},
    {vst::audioMasterGetSampleRate, "sample rate"},
    {vst::audioMasterGetBlockSize, "block size"},
    {vst::audioMasterIOChanged, "io changed"},
    {vst::audioMasterSizeWindow, "size window"},
    {vst::audioMasterGetVendorString, "vendor string"},
    {vst::audioMasterGetProductString, "product string"},
    {vst::audioMasterGetVendorVersion, "vendor version"},
};

bool IsNamed(vst::int32 opcode)
{
    for (const auto& named : kNamed)
        if (named.opcode == opcode)
            return true;
    return false;
}

} // namespace

void PrintHostRequests(const HostContext& host, std::FILE* out)
{
    std::fprintf(out, "mg-host: host requests:");
    for (const auto& named : kNamed)
        std::fprintf(out, " %s=%d", named.name, host.Count(named.opcode));
    int other = host.UnknownCount();
    for (vst::int32 op = 0; op < HostContext::kCountedOpcodes; ++op)
        if (!IsNamed(op))
            other += host.Count(op);
    std::fprintf(out, " other=%d\n", other);
}

} // namespace mg::host
