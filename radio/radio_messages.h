// The texts the radio operations show the operator.
#pragma once

namespace radio {

constexpr char kMsgCouldNotOpenPort[] = "Could not open COM1";
constexpr char kMsgCouldNotEnterProgrammingMode[] =
    "Could not enter programming mode - check serial cable";
constexpr char kMsgCouldNotInstantiate[] = "Couldn't instantiate IPacket object";
constexpr char kMsgVectorNotFound[] = "couldn't find squelch pot vector";
constexpr char kMsgMustReadFirst[] = "Must read current Squelch value first";
constexpr char kMsgCouldNotReset[] = "Couldn't reset the radio, sorry";

// Hushwell's own texts for failures the radio's original messages do not cover.
constexpr char kMsgReadFailed[] =
    "The radio could not be read. Check the cable and the radio, then press Read again.";
constexpr char kMsgWriteIncomplete[] =
    "The write did not complete: the radio may hold part of the new value. "
    "Press Write again; if it fails again, press Read and then Write.";
constexpr char kMsgRecordLengthUnsupported[] =
    "The radio's squelch record has a length Hushwell cannot write (it must be 28 to 59 "
    "bytes). Nothing was written.";
constexpr char kMsgOutOfMemory[] = "Not enough memory for the transfer. Nothing was sent.";

} // namespace radio
