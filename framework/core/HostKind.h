#pragma once
// The hosts the plug-in recognises by product name. The numbers are the
// host codes the plug-in reports and traces, so they stay as they are;
// 0 is a host we do not know, -1 one not asked yet.
namespace mg {

enum class HostKind : int {
    Unknown = 0,
    Reaper = 1,
    Cubase = 3,
    Nuendo = 4,
    Cakewalk = 5,
    Fruity = 7,
    Samplitude = 8,
    Live = 9,
    Melodyne = 12,
    VstManLib = 13,
    Aulab = 14,
    Forte = 15,
    Chainer = 16,
    Audition = 17,
    Orion = 18,
    SawStudio = 20,
    Logic = 21,
    Digital = 22,
};

} // namespace mg
