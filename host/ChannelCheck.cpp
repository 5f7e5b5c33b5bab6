#include "ChannelCheck.h"

#include "Failure.h"
#include "PluginInstance.h"

namespace mg::host {

void CheckChannelsKept(const PluginInstance& plugin, int inputs, int outputs)
{
    if (plugin.Effect().numInputs != inputs || plugin.Effect().numOutputs != outputs)
        throw Failure("the plug-in changed its number of inputs or outputs when switched on");
}

} // namespace mg::host
