#pragma once
// Marrow-Grit HQ: the same pedal without aliasing, as a plug-in of its own.
// Its parameters, programs, state and editor are the exact pedal's, so that
// a session or a preset moves between the two; its sound comes from the HQ
// chain, kHqLatency frames late, which it reports to the host.
#include "HqChain.h"
#include "MarrowGrit.h"

namespace mg {

inline constexpr int kHqLatency = HqChain::kLatency;
inline constexpr std::int32_t kHqUniqueId = FourCC("kbqH");

class MarrowGritHQ : public MarrowGrit {
public:
    static constexpr PluginIdentity kIdentity{.effectName = "Marrow-Grit HQ", .productName = "",
                                              .makerName = "tonewrights", .windowTitle = "Marrow-Grit HQ",
                                              .version = 0x20300, .uniqueId = kHqUniqueId,
                                              .makerId = FourCC("Tnwr")};

    explicit MarrowGritHQ(BindingPlugin::Host host);

    void OnReset() override;
    void ProcessBlock(double** inputs, double** outputs, int frames) override;

    int Oversampling() const { return hq.Oversampling(); }

private:
    HqChain hq;
};

} // namespace mg
