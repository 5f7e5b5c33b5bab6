#pragma once
// The magnitude responses of the pedal's two filter chains, from the
// sections a pedal opened at 44.1 and at 96 kHz has designed.
#include "Table.h"

namespace mg::figures {

Table FilterResponse();

} // namespace mg::figures
