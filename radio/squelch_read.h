// Reading the squelch setting: programming mode, then a walk through the radio's memory with
// seven 32-byte reads (root block, index block, squelch record, pot vector).
#pragma once

#include <windows.h>

#include "radio/squelch_dialog.h"

namespace radio {

// The pause between the programming-mode command and command 12h. Tests replace it.
using WaitFunction = void (*)(DWORD milliseconds);
void WaitMilliseconds(DWORD milliseconds);
constexpr DWORD kProgrammingModeSettleMs = 1000;

// The Read button. Fills the dialog's image and value; sets ValueRead only when the whole walk,
// pot vector included, completed. Every failure ends in one message to the operator.
void ReadSquelch(SquelchDialog& dialog, WaitFunction wait = WaitMilliseconds);

} // namespace radio
