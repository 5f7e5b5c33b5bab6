#pragma once
// A plug-in's channel counts after it is switched on, against the buffers a
// host sized for the counts from before.
namespace mg::host {

class HostedPlugin;

// Throws Failure when the plug-in now has other counts than `inputs` and
// `outputs`: it would read and write past the buffers.
void CheckChannelsKept(HostedPlugin& plugin, int inputs, int outputs);

} // namespace mg::host
