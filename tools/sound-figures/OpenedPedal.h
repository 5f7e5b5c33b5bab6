#pragma once
// The pedal as a host leaves it after opening it at a sample rate: every
// parameter applied and the filter sections designed for that rate.
#include <memory>

#include "MarrowGrit.h"

namespace mg::figures {

std::unique_ptr<MarrowGrit> OpenedPedal(double sampleRate);

} // namespace mg::figures
