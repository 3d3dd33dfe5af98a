// The read, the write and the reset as the radio link component and the operator see them: every
// call in order with the bytes it carries, the dialog services used, the messages shown, and the
// state left behind, with the fake component failing each step in turn.
#include "radio/radio_commands.h"
#include "radio/squelch_read.h"
#include "radio/squelch_write.h"
#include "tests/lib/recording_dialog.h"
#include "tests/radio/fake_radio_link.h"
#include "tests/radio/operator_messages.h"

#include <gtest/gtest.h>

namespace {

std::string Joined(const std::vector<std::string>& log) {
    std::string text;
    for (const std::string& entry : log) {
        text += entry + "\n";
    }
    return text;
}

const std::string kCommandLink = "Create CommandLink\nRelease class object\n";
const std::string kPacketLink = "Create PacketLink\nRelease class object\n";
std::string Command(const std::string& bytes) {
    return kCommandLink + "Open COM1 0\nSend " + bytes + "\nClose\nRelease IRadioLink\n";
}
const std::string kEnter = Command("01 02 01 40 00");
const std::string kCommand12 = Command("00 12 01 06 00");
const std::string kPacketOpen = kPacketLink + "QueryInterface IPacketTransfer\nOpen COM1 4\n";
const std::string kReleases = "Release IRadioLink\nRelease IPacketTransfer\n";
const std::string kPortBusy12 =
    kCommandLink + "Open COM1 0\n" + kCouldNotOpen + "Release IRadioLink\n";
const std::string kNoTransfer =
    kPacketLink + "QueryInterface IPacketTransfer\nRelease IRadioLink\n" + kInstantiate;

std::string Read(uint32_t address) {
    const std::string at = " @" + std::to_string(address);
    return "Request REQ_RD_DATA" + at + " 20\nReply 0" + at + "\n";
}
// The dialog starts with value 7 and valueRead 2, neither TRUE nor FALSE: "left alone" shows.
const std::string kLeftAlone = "valueRead 2, value 7\n";
std::string End(int value, int valueRead) {
    return "Close\nShowValue " + std::to_string(value) + "\n" + kReleases + "valueRead " +
           std::to_string(valueRead) + ", value " + std::to_string(value) + "\n";
}

const std::string kStart = kEnter + "Wait 1000\n" + kCommand12 + kPacketOpen;
const std::string kToR5 = Read(0) + Read(32) + Read(288) + Read(320) + Read(576);
const std::string kToR6 = kToR5 + "OpenValueRange\n" + Read(608);

struct ReadRow {
    const char* what;
    std::string log;
    const char* fail = "";
    uint32_t vector = 160; // pointers, high byte first: the root's at 39, the index block's at 52
    uint32_t record = 576;
};

TEST(SquelchRead, CallsMessagesAndState) {
    const ReadRow rows[] = {
        {"worked radio", kStart + kToR6 + Read(160) + End(10, 1)},
        {"vector at 64", kStart + kToR6 + kVectorNotFound + End(10, 0), "", 64},
        {"vector at 65", kStart + kToR6 + Read(65) + End(10, 1), "", 65},
        {"vector at 639", kStart + kToR6 + Read(639) + End(10, 1), "", 639},
        {"vector at 640", kStart + kToR6 + kVectorNotFound + End(10, 0), "", 640},
        {"record at 65535: addresses in 32 bits",
         kStart + Read(0) + Read(32) + Read(288) + Read(320) + Read(65535) + "OpenValueRange\n" +
             Read(65567) + Read(160) + End(0, 1),
         "", 160, 65535},
        {"programming mode: port busy",
         kCommandLink + "Open COM1 0\nRelease IRadioLink\n" + kProgrammingMode + kLeftAlone,
         "Open#1"},
        {"programming mode: send fails", kEnter + kProgrammingMode + kLeftAlone, "Send#1"},
        {"programming mode: no instance",
         kCommandLink + "Release IRadioLink\n" + kProgrammingMode + kLeftAlone, "Create#1"},
        {"command 12h: port busy, the read goes on",
         kEnter + "Wait 1000\n" + kPortBusy12 + kPacketOpen + kToR6 + Read(160) + End(10, 1),
         "Open#2"},
        {"no PacketLink instance",
         kEnter + "Wait 1000\n" + kCommand12 + kPacketLink + "Release IRadioLink\n" + kInstantiate +
             kLeftAlone,
         "Create#3"},
        {"no IPacketTransfer", kEnter + "Wait 1000\n" + kCommand12 + kNoTransfer + kLeftAlone,
         "QueryInterface#1"},
        {"packet port busy", kStart + kCouldNotOpen + End(7, 2), "Open#3"},
        {"R1 request fails", kStart + "Request REQ_RD_DATA @0 20\n" + kReadFailed + End(7, 0),
         "Request#1"},
        {"R6 reply fails", kStart + kToR6 + kReadFailed + End(10, 0), "Reply#6"},
        {"R7 request fails",
         kStart + kToR6 + "Request REQ_RD_DATA @160 20\n" + kReadFailed + End(10, 0), "Request#7"},
        {"no transfer area", kNoMemory + kLeftAlone, "NoMemory"},
    };
    for (const ReadRow& row : rows) {
        RecordingDialog dialog;
        dialog.value = 7;
        dialog.valueRead = 2;
        FakeRadio radio(dialog.log, row.fail);
        radio.memory[39] = static_cast<BYTE>(row.vector >> 8);
        radio.memory[40] = static_cast<BYTE>(row.vector);
        radio.memory[288 + 52] = static_cast<BYTE>(row.record >> 8);
        radio.memory[288 + 53] = static_cast<BYTE>(row.record);
        ReadSquelch(dialog, FakeRadio::RecordWait);
        dialog.Note("valueRead " + std::to_string(dialog.valueRead) + ", value " +
                    std::to_string(dialog.value));
        EXPECT_EQ(Joined(dialog.log), row.log) << row.what;
    }
}

std::string Write(uint32_t address, const std::string& bytes) {
    const std::string at = " @" + std::to_string(address);
    return "Request REQ_WR_DATA" + at + " " + bytes + "\nReply 0" + at + "\n";
}

const std::string kWriteStart = kCommand12 + kPacketOpen + "TakeValue\n";
const std::string kWriteEnd = "Close\n" + kReleases;
// The worked radio written with 3: pot setting 30, vector checksum 2E; squelch byte 9A packed to
// 93; record checksum B5 at byte 34.
const std::string kVector3 = "01 02 03 04 05 06 07 30 09 0A 0B 0C 0D 2E";
const std::string kHead3 = "1E 33 AA BB 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 93 "
                           "00 00 00 00 00 00 00 00 44";

struct WriteRow {
    const char* what;
    std::string log;
    int entry = 3;         // -1: the data exchange refuses the entry
    const char* fail = ""; // counted from the write's first call
    BYTE length = 30;      // N, record byte 0
    BYTE squelch = 0x9A;   // record byte 22
};

TEST(SquelchWrite, CallsBytesAndMessages) {
    const WriteRow rows[] = {
        {"worked radio", kWriteStart + Write(160, kVector3) + Write(576, kHead3) +
                             Write(608, "00 FF B5") + kWriteEnd},
        {"N = 28, squelch byte 65, 8",
         kWriteStart + Write(160, "01 02 03 04 05 06 07 80 09 0A 0B 0C 0D 7E") +
             Write(576, "1C 33 AA BB 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 78 00 "
                        "00 00 00 00 00 00 00 44") +
             Write(608, "9B") + kWriteEnd,
         8, "", 28, 0x65},
        {"N = 59, 15",
         kWriteStart + Write(160, "01 02 03 04 05 06 07 F0 09 0A 0B 0C 0D EE") +
             Write(576, "3B 33 AA BB 01 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 9F 00 "
                        "00 00 00 00 00 00 00 44") +
             Write(608, "00 FF C0 00 00 00 00 00 5A 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
                        "00 00 00 00 00 00 21 FC") +
             kWriteEnd,
         15, "", 59},
        {"N = 27", kWriteStart + kLengthRefused + kWriteEnd, 3, "", 27},
        {"N = 60", kWriteStart + kLengthRefused + kWriteEnd, 3, "", 60},
        {"entry refused", kWriteStart + kWriteEnd, -1},
        {"vector request fails",
         kWriteStart + "Request REQ_WR_DATA @160 " + kVector3 + "\n" + kWriteIncomplete + kWriteEnd,
         3, "Request#1"},
        {"record head reply fails",
         kWriteStart + Write(160, kVector3) + Write(576, kHead3) + kWriteIncomplete + kWriteEnd, 3,
         "Reply#2"},
        {"record tail request fails",
         kWriteStart + Write(160, kVector3) + Write(576, kHead3) +
             "Request REQ_WR_DATA @608 00 FF B5\n" + kWriteIncomplete + kWriteEnd,
         3, "Request#3"},
        {"both ports busy", kPortBusy12 + kPacketOpen + kCouldNotOpen + kWriteEnd, 3,
         "Open#1 Open#2"},
        {"no IPacketTransfer", kCommand12 + kNoTransfer, 3, "QueryInterface#1"},
        {"no transfer area", kNoMemory, 3, "NoMemory"},
    };
    for (const WriteRow& row : rows) {
        RecordingDialog dialog;
        FakeRadio radio(dialog.log);
        radio.memory[576] = row.length;
        radio.memory[576 + 22] = row.squelch;
        ReadSquelch(dialog, FakeRadio::RecordWait);
        radio.Restart(row.fail);
        if (row.entry >= 0) {
            dialog.entry = row.entry;
        }
        WriteSquelch(dialog);
        EXPECT_EQ(Joined(dialog.log), row.log) << row.what;
        EXPECT_TRUE(dialog.valueRead) << row.what << ": Write can be pressed again";
    }
}

TEST(SquelchWrite, RefusedUntilACompleteRead) {
    RecordingDialog dialog;
    FakeRadio radio(dialog.log);
    WriteSquelch(dialog);
    EXPECT_EQ(Joined(dialog.log), kMustRead);
}

TEST(ResetRadio, ResultAndCalls) {
    const std::string reset = Command("00 00 05 08 00");
    const std::tuple<const char*, HRESULT, std::string> rows[] = {
        {"", S_OK, reset},
        {"Close#1", S_OK, reset},  // the result is Send's
        {"Send#1", E_FAIL, reset}, // closed all the same
        {"NoMemory", E_OUTOFMEMORY, ""},
    };
    for (const auto& [fail, result, log] : rows) {
        RecordingDialog boxes;
        FakeRadio radio(boxes.log, fail);
        EXPECT_EQ(ResetRadio(), result) << fail;
        EXPECT_EQ(Joined(boxes.log), log) << fail;
    }
}

} // namespace
