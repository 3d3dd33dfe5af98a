// The simulated radio's core: its answers through one session on the built-in radio (the mode,
// the checks in their order: mode, length, range; memory; a repeat answered from the last
// exchange), and the layout check the soak judges the radio's memory by.
#include <gtest/gtest.h>

#include "protocol/messages.h"
#include "radiosim/default_radio.h"
#include "radiosim/layout_check.h"
#include "radiosim/request_handler.h"
#include "tests/protocol/hex.h"

namespace {

using T = proto::FrameType;

proto::Frame Request(T type, uint8_t sequence, uint32_t address, const char* payload) {
    proto::Frame frame;
    frame.type = type;
    frame.sequence = sequence;
    frame.address = address;
    const Bytes bytes = Hex(payload);
    frame.length = static_cast<uint8_t>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), frame.payload);
    return frame;
}

TEST(RequestHandler, AnswersASession) {
    const char* kNoMode = "nak:not_in_programming_mode";
    const struct {
        proto::Frame request;
        T reply;
        const char* payload; // of the reply
        const char* verdict;
        bool repeated = false;
    } steps[] = {
        {Request(T::Read, 1, 0x0120, "04"), T::Nak, "01", kNoMode},
        {Request(T::Read, 2, 0x0120, "00"), T::Nak, "01", kNoMode},
        {Request(T::Write, 3, 0x1000, "99"), T::Nak, "01", kNoMode},
        {Request(T::Command, 4, 0, "00 12 07 06 00"), T::CommandAck, "", "ok"},
        {Request(T::Read, 5, 0x0120, "04"), T::Nak, "01", kNoMode},
        {Request(T::Command, 6, 0, ""), T::Nak, "03", "nak:bad_length"},
        {Request(T::Command, 7, 0, "01 02 01"), T::Nak, "05", "nak:unknown_command"},
        {Request(T::Command, 8, 0, "01 02 01 41 00"), T::Nak, "05", "nak:unknown_command"},
        {Request(T::ReadData, 9, 0, "01"), T::Nak, "04", "nak:unknown_type"},
        {Request(T::Command, 10, 0, "01 02 01 40"), T::CommandAck, "", "ok"},
        {Request(T::Command, 10, 0, "01 02 01 40"), T::CommandAck, "", "ok", true},
        {Request(T::Read, 11, 0x0120, "04"), T::ReadData, "26 27 28 29", "ok"},
        {Request(T::Read, 12, 0xFFFF, "00"), T::Nak, "03", "nak:bad_length"},
        {Request(T::Read, 13, 0x0120, "41"), T::Nak, "03", "nak:bad_length"},
        {Request(T::Read, 14, 0x0120, "04 00"), T::Nak, "03", "nak:bad_length"},
        {Request(T::Read, 15, 0xFFFF, "02"), T::Nak, "02", "nak:address_out_of_range"},
        {Request(T::Read, 16, 0xFFFFFFFF, "01"), T::Nak, "02", "nak:address_out_of_range"},
        {Request(T::Read, 17, 0xFFFF, "01"), T::ReadData, "19", "ok"},
        {Request(T::Write, 18, 0xFFFF, "01 02"), T::Nak, "02", "nak:address_out_of_range"},
        {Request(T::Write, 19, 0x1000, ""), T::Nak, "03", "nak:bad_length"},
        {Request(T::Write, 20, 0x1000, "00 11 22"), T::WriteAck, "03 79 F8 BB E6", "ok"},
        {Request(T::Write, 20, 0x1000, "00 11 22"), T::WriteAck, "03 79 F8 BB E6", "ok", true},
        {Request(T::Read, 21, 0x0FFF, "05"), T::ReadData, "50 00 11 22 54", "ok"},
        {Request(T::Write, 22, 0x0256, "B3"), T::WriteAck, "01 80 6A 0D BB", "ok"},
        {Request(T::Command, 23, 0, "00 00 05 08 A5"), T::CommandAck, "", "ok"},
        {Request(T::Read, 24, 0x1000, "01"), T::Nak, "01", kNoMode},
    };
    radiosim::RadioMemory memory = radiosim::MakeDefaultRadio();
    radiosim::RequestHandler handler(memory);
    for (const auto& step : steps) {
        const radiosim::HandlerResult result = handler.Handle(step.request);
        const int sequence = step.request.sequence;
        EXPECT_TRUE(proto::SameFrame(
            Request(step.reply, step.request.sequence, step.request.address, step.payload),
            result.reply))
            << sequence;
        EXPECT_EQ(step.verdict, result.verdict) << sequence;
        EXPECT_EQ(step.repeated, result.repeated) << sequence;
    }
    EXPECT_EQ(2u, handler.AcceptedWrites()) << "the repeated write is not carried out again";
    EXPECT_EQ(1u, handler.InconsistentStates()) << "the squelch byte without its checksum";
}

void Poke(radiosim::RadioMemory& memory, uint32_t address, const char* bytes) {
    const Bytes values = Hex(bytes);
    std::copy(values.begin(), values.end(), memory.data() + address);
}

// Worked checksums at the built-in radio's places: a record of N = 30 at 0x0240 (bytes 2 and 3
// not covered) and a pot vector at 0x00A0; then one byte changed at a time.
TEST(LayoutCheck, FindsBothChecksumsThroughThePointers) {
    const struct {
        uint32_t address;
        bool recordOk, vectorOk;
    } cases[] = {
        {0x0240, false, true}, // N
        {0x0241, false, true}, // byte 1
        {0x0242, true, true},  // byte 2: not covered
        {0x0256, false, true}, // the squelch byte
        {0x0262, false, true}, // the record's checksum
        {0x0263, true, true},  // past the record
        {0x00A7, true, false}, // the pot setting
        {0x00AD, true, false}, // the vector's checksum
        {0x00AE, true, true},  // past the vector
        {3, false, true},      // the index pointer
        {40, true, false},     // the vector pointer
    };
    for (const auto& c : cases) {
        radiosim::RadioMemory memory = radiosim::MakeDefaultRadio();
        Poke(memory, 0x0240,
             "1E 33 AA BB 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
             "9A 00 00 00 00 00 00 00 00 00 00 FF 78");
        Poke(memory, 0x00A0, "21 40 9C 00 00 12 00 80 00 7F 00 05 00 BE");
        memory[c.address] ^= 0x01;
        const radiosim::LayoutCheck check = radiosim::CheckLayout(memory);
        EXPECT_EQ(std::make_pair(c.recordOk, c.vectorOk),
                  std::make_pair(check.recordOk, check.vectorOk))
            << c.address;
    }
}

} // namespace
