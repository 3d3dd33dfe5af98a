// The messages the operator reads, as the radio operations show them in a test's log.
#pragma once

#include <string>

inline const std::string kCouldNotOpen = "Box Could not open COM1\n";
inline const std::string kInstantiate = "Box Couldn't instantiate IPacket object\n";
inline const std::string kNoMemory = "Box Not enough memory for the transfer. Nothing was sent.\n";
inline const std::string kProgrammingMode =
    "Box Could not enter programming mode - check serial cable\n";
inline const std::string kVectorNotFound = "Box couldn't find squelch pot vector\n";
inline const std::string kReadFailed = "Box The radio could not be read. Check the cable and the "
                                       "radio, then press Read again.\n";
inline const std::string kMustRead = "Box Must read current Squelch value first\n";
inline const std::string kCouldNotReset = "Box Couldn't reset the radio, sorry\n";
inline const std::string kWriteIncomplete =
    "Box The write did not complete: the radio may hold part of the new value. Press Write again; "
    "if it fails again, press Read and then Write.\n";
inline const std::string kLengthRefused =
    "Box The radio's squelch record has a length Hushwell cannot write (it must be 28 to 59 "
    "bytes). Nothing was written.\n";
