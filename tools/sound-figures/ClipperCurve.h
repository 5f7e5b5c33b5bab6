#pragma once
// The clipper's static curve at three Attack settings, with the drive each
// setting gives the pedal.
#include "Table.h"

namespace mg::figures {

Table ClipperCurve();

} // namespace mg::figures
