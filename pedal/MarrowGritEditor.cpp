#include "MarrowGrit.h"

namespace mg {

// The pedal's editor is built here once the editor framework provides it.
void MarrowGrit::BuildEditor() {}

} // namespace mg
