#include "ChannelCheck.h"

#include "Failure.h"
#include "HostedPlugin.h"

namespace mg::host {

void CheckChannelsKept(HostedPlugin& plugin, int inputs, int outputs)
{
    if (plugin.Inputs() != inputs || plugin.Outputs() != outputs)
        throw Failure("the plug-in changed its number of inputs or outputs when switched on");
}

} // namespace mg::host
