// The simulated radio: its answers through one session on the built-in radio (the mode, the
// checks in their order: mode, length, range; memory; a repeat answered from the last exchange),
// the layout check the soak judges its memory by, image files, seeded faults, control lines.
#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include "protocol/messages.h"
#include "radiosim/control_command.h"
#include "radiosim/default_radio.h"
#include "radiosim/faults.h"
#include "radiosim/image_file.h"
#include "radiosim/layout_check.h"
#include "radiosim/request_handler.h"
#include "tests/protocol/hex.h"

namespace {

using T = proto::FrameType;

proto::Frame Request(T type, uint8_t sequence, uint32_t address, const char* payload) {
    proto::Frame frame{type, sequence, address};
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
        {Request(T::Command, 3, 0, "00 12 07 06 00"), T::CommandAck, "", "ok"},
        {Request(T::Command, 4, 0, "01 02 01 41 00"), T::Nak, "05", "nak:unknown_command"},
        {Request(T::ReadData, 5, 0, "01"), T::Nak, "04", "nak:unknown_type"},
        {Request(T::Command, 6, 0, "01 02 01 40"), T::CommandAck, "", "ok"},
        {Request(T::Command, 6, 0, "01 02 01 40"), T::CommandAck, "", "ok", true},
        {Request(T::Read, 7, 0x0120, "04"), T::ReadData, "26 27 28 29", "ok"},
        {Request(T::Read, 8, 0xFFFF, "00"), T::Nak, "03", "nak:bad_length"},
        {Request(T::Read, 9, 0xFFFF, "02"), T::Nak, "02", "nak:address_out_of_range"},
        {Request(T::Read, 10, 0xFFFFFFFF, "01"), T::Nak, "02", "nak:address_out_of_range"},
        {Request(T::Read, 11, 0xFFFF, "01"), T::ReadData, "19", "ok"},
        {Request(T::Write, 12, 0x1000, "00 11 22"), T::WriteAck, "03 79 F8 BB E6", "ok"},
        {Request(T::Write, 12, 0x1000, "00 11 22"), T::WriteAck, "03 79 F8 BB E6", "ok", true},
        {Request(T::Read, 13, 0x0FFF, "05"), T::ReadData, "50 00 11 22 54", "ok"},
        {Request(T::Write, 14, 0x0256, "B3"), T::WriteAck, "01 80 6A 0D BB", "ok"},
        {Request(T::Command, 15, 0, "00 00 05 08 A5"), T::CommandAck, "", "ok"},
        {Request(T::Read, 16, 0x1000, "01"), T::Nak, "01", kNoMode},
    };
    radiosim::RadioMemory memory = radiosim::MakeDefaultRadio();
    radiosim::RequestHandler handler(memory);
    for (const auto& step : steps) {
        const radiosim::HandlerResult result = handler.Handle(step.request);
        const proto::Frame& request = step.request;
        EXPECT_TRUE(proto::SameFrame(
            Request(step.reply, request.sequence, request.address, step.payload), result.reply))
            << int{request.sequence};
        EXPECT_EQ(std::make_pair(std::string(step.verdict), step.repeated),
                  std::make_pair(result.verdict, result.repeated))
            << int{request.sequence};
    }
    EXPECT_EQ(2u, handler.AcceptedWrites()) << "the repeated write is not carried out again";
    EXPECT_EQ(1u, handler.InconsistentStates()) << "the squelch byte without its checksum";
}

// Worked checksums at the built-in radio's places: a record of N = 30 at 0x0240 (bytes 2 and 3
// not covered) and a pot vector at 0x00A0; then one byte changed at a time.
TEST(LayoutCheck, FindsBothChecksumsThroughThePointers) {
    const struct {
        uint32_t address;
        bool recordOk, vectorOk;
    } cases[] = {
        {0x0240, false, true}, // N
        {0x0242, true, true},  // byte 2: not covered
        {0x0262, false, true}, // the record's checksum
        {0x0263, true, true},  // past the record
        {0x00AD, true, false}, // the vector's checksum
        {3, false, true},      // the index pointer
        {40, true, false},     // the vector pointer
    };
    radiosim::RadioMemory worked = radiosim::MakeDefaultRadio();
    const Bytes record = Hex("1E 33 AA BB 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
                             "9A 00 00 00 00 00 00 00 00 00 00 FF 78"),
                vector = Hex("21 40 9C 00 00 12 00 80 00 7F 00 05 00 BE");
    std::copy(record.begin(), record.end(), worked.data() + 0x0240);
    std::copy(vector.begin(), vector.end(), worked.data() + 0x00A0);
    for (const auto& c : cases) {
        radiosim::RadioMemory memory = worked;
        memory[c.address] ^= 0x01;
        const radiosim::LayoutCheck check = radiosim::CheckLayout(memory);
        EXPECT_EQ(std::make_pair(c.recordOk, c.vectorOk),
                  std::make_pair(check.recordOk, check.vectorOk))
            << c.address;
    }
}

TEST(ImageFile, SavedImageLoadsBackAndWrongSizesAreRefused) {
    const std::string path = "/tmp/radiosim-test-" + std::to_string(getpid()) + ".bin";
    radiosim::RadioMemory saved = radiosim::MakeDefaultRadio(), loaded;
    saved[65535] = 0x77;
    std::string error;
    ASSERT_TRUE(radiosim::SaveImage(path, saved, error)) << error;
    ASSERT_TRUE(radiosim::LoadImage(path, loaded, error)) << error;
    EXPECT_TRUE(loaded == saved);
    ASSERT_EQ(0, truncate(path.c_str(), 65535));
    EXPECT_FALSE(radiosim::LoadImage(path, loaded, error));
    EXPECT_EQ("image " + path + " must be exactly 65536 bytes, it has 65535", error);
    EXPECT_TRUE(loaded == saved) << "memory is changed only by a good image";
    unlink(path.c_str());
}

Bytes Faulted(uint64_t seed) { // 500 bytes with 10% dropped and 10% corrupted
    radiosim::FaultInjector faults(seed);
    faults.Settings().drop = faults.Settings().corrupt = 0.1;
    const Bytes bytes(500, 0x5A);
    return faults.Outgoing(bytes.data(), bytes.size()).bytes;
}

TEST(Faults, FollowTheSeed) {
    EXPECT_EQ(Faulted(42), Faulted(42));
    EXPECT_NE(Faulted(42), Faulted(43));
}

TEST(ControlCommand, ExplainsMistakes) {
    const std::pair<const char*, const char*> mistakes[] = {
        {"silent maybe", "usage: silent on|off"},
        {"faults drop=2", "bad value in 'drop=2' (probabilities 0 to 1, delayms a whole number)"},
        {"faults loss=0.1", "unknown fault 'loss'"},
        {"poke 65535 0102", "poke reaches past the memory"},
        {"explode", "unknown control command 'explode'"},
    };
    radiosim::ControlCommand command;
    std::string error;
    for (const auto& [line, message] : mistakes) {
        EXPECT_EQ(radiosim::ControlParse::Error, radiosim::ParseControlLine(line, command, error));
        EXPECT_EQ(message, error);
    }
}

} // namespace
