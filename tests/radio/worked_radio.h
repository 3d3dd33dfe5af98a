// The radio of the worked example: root pointers to an index block at 288 and a pot vector at
// 160, the index block pointing to a squelch record at 576 (N = 30, squelch byte 9A).
#pragma once

#include "tests/radio/fake_radio_link.h"

#include <string>
#include <vector>

constexpr uint32_t kIndexAt = 288, kRecordAt = 576, kVectorAt = 160;

inline void LoadWorkedRadio(FakeRadio& radio) {
    radio.Poke(0, {0x99});                   // root byte 0: overwritten in the scratch by the index
    radio.Poke(2, {0x01, 0x20});             // index pointer 0x0120
    radio.Poke(39, {0x00, 0xA0});            // pot vector pointer 0x00A0
    radio.Poke(kIndexAt, {0x11});            // index byte 0
    radio.Poke(kIndexAt + 52, {0x02, 0x40}); // record pointer 0x0240
    radio.Poke(kRecordAt, {0x1E, 0x7E, 0xAA, 0xBB, 0x01}); // N = 30, byte 1 as the radio has it
    radio.Poke(kRecordAt + 22, {0x9A});
    radio.Poke(kRecordAt + 33, {0xFF});
    radio.Poke(kRecordAt + 34, {0xC0}); // the radio's checksum, computed with 0x7E at byte 1
    radio.Poke(kRecordAt + 40, {0x5A}); // outside the record, read with it
    radio.Poke(kVectorAt, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x80, 0x09, 0x0A, 0x0B, 0x0C,
                           0x0D, 0x7E, 0xEE});
}

inline std::vector<std::string> PacketOpenCalls() {
    return {"PacketLink.CreateInstance", "QueryInterface IPacketTransfer", "Open COM1 4"};
}

inline std::vector<std::string> PacketEndCalls() {
    return {"Close", "Release IRadioLink", "Release IPacketTransfer"};
}
