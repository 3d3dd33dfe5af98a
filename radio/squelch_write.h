// Writing the squelch setting back: the pot vector, then the squelch record in two pieces, with
// the squelch fields and both checksums recomputed in the image first.
#pragma once

#include "radio/squelch_dialog.h"

namespace radio {

// The Write button. Refused until a complete read; never writes a value outside 0 to 15 or a
// record whose checksum would lie outside the 64 bytes read.
void WriteSquelch(SquelchDialog& dialog);

} // namespace radio
