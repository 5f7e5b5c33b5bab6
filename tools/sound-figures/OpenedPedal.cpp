#include "OpenedPedal.h"

namespace mg::figures {

std::unique_ptr<MarrowGrit> OpenedPedal(double sampleRate)
{
    auto pedal = std::make_unique<MarrowGrit>(nullptr);
    pedal->ChangeAllParameters();
    pedal->StoreSampleRate(sampleRate);
    pedal->OnReset();
    return pedal;
}

} // namespace mg::figures
