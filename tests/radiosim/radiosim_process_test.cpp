// The real radiosim program: served over a real pseudo-terminal, driven through its
// published link, its control FIFO and its signals.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <stdlib.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "protocol/messages.h"
#include "radiosim/default_radio.h"
#include "sim_process.h"

namespace {

using namespace simtest;
using namespace std::chrono_literals;
using proto::Frame;
using proto::FrameType;
using proto::NakReason;

const Bytes kProgrammingMode = {0x01, 0x02, 0x01, 0x40, 0x00};

Frame CommandFrame(uint8_t sequence, const Bytes& bytes) {
    Frame frame;
    EXPECT_TRUE(proto::MakeCommandFrame(sequence, bytes.data(), bytes.size(), frame));
    return frame;
}

Frame ReadFrame(uint8_t sequence, uint32_t address, uint8_t count) {
    Frame frame;
    EXPECT_TRUE(proto::MakeReadFrame(sequence, address, count, frame));
    return frame;
}

Frame WriteFrame(uint8_t sequence, uint32_t address, const Bytes& bytes) {
    Frame frame;
    EXPECT_TRUE(proto::MakeWriteFrame(sequence, address, bytes.data(), bytes.size(), frame));
    return frame;
}

Bytes ReadDataFor(const Frame& read, const radiosim::RadioMemory& memory) {
    return Encoded(proto::MakeReadData(read, memory.data() + read.address, read.payload[0]));
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

void WriteControl(const std::string& fifo, const std::string& lines) {
    const int fd = ::open(fifo.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0) << fifo;
    ASSERT_EQ(static_cast<ssize_t>(lines.size()), ::write(fd, lines.data(), lines.size()));
    ::close(fd);
}

size_t CountLines(const std::string& text, const std::string& part) {
    size_t count = 0;
    std::string line;
    for (std::istringstream in(text); std::getline(in, line);) {
        count += line.find(part) != std::string::npos ? 1 : 0;
    }
    return count;
}

class RadiosimProcess : public ::testing::Test {
protected:
    // Starts the simulator with a link, a log and the given extra options; and opens the line.
    void Start(std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {"--link", link, "--log", log};
        args.insert(args.end(), extra.begin(), extra.end());
        ASSERT_TRUE(sim.Start(args)) << sim.Stderr();
        char target[256] = {};
        ASSERT_GT(::readlink(link.c_str(), target, sizeof target - 1), 0);
        EXPECT_EQ(sim.Port(), target);
        line = std::make_unique<LineClient>(link);
        ASSERT_TRUE(line->IsOpen());
    }

    // Sends a frame and returns the reply bytes (up to its delimiter, within 5 s).
    Bytes Exchange(const Frame& request) {
        line->Send(request);
        return line->ReceiveChunk(5000ms);
    }

    void EnterProgrammingMode() {
        const Frame command = CommandFrame(1, kProgrammingMode);
        ASSERT_EQ(Encoded(proto::MakeCommandAck(command)), Exchange(command));
    }

    TempDir dir;
    const std::string link = dir.Path("com1");
    const std::string log = dir.Path("log.jsonl");
    const radiosim::RadioMemory factory = radiosim::MakeDefaultRadio();
    SimProcess sim;
    std::unique_ptr<LineClient> line;
};

TEST_F(RadiosimProcess, AnswersFramesOnThePseudoTerminalByteForByte) {
    Start();
    const Frame early = ReadFrame(4, 0x0120, 32);
    EXPECT_EQ(Encoded(proto::MakeNak(early, NakReason::NotInProgrammingMode)), Exchange(early));
    EnterProgrammingMode();

    const Frame read = ReadFrame(5, 0x0120, 32);
    const auto started = std::chrono::steady_clock::now();
    const Bytes reply = Exchange(read);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(ReadDataFor(read, factory), reply);
    std::printf("32-byte read at 9600 baud: %zu bytes out, %zu back, %.1f ms round trip\n",
                Encoded(read).size(), reply.size(),
                std::chrono::duration<double, std::milli>(took).count());

    Bytes bytes(32);
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>(i); // zeros included
    }
    const Frame write = WriteFrame(6, 0x3000, bytes);
    const Bytes ack = Exchange(write);
    EXPECT_EQ(Encoded(proto::MakeWriteAck(write, 32, proto::WriteCrc(write))), ack);
    std::printf("32-byte write at 9600 baud: %zu bytes out, %zu back\n", Encoded(write).size(),
                ack.size());

    const Frame readBack = ReadFrame(7, 0x3000, 32);
    radiosim::RadioMemory expected = factory;
    std::copy(bytes.begin(), bytes.end(), expected.data() + 0x3000);
    EXPECT_EQ(ReadDataFor(readBack, expected), Exchange(readBack));

    EXPECT_EQ(0, sim.Stop(SIGTERM));
    EXPECT_FALSE(Exists(link)) << "the link is removed at exit";
}

TEST_F(RadiosimProcess, KeepsServingWhenTheHostClosesAndReopensThePort) {
    Start();
    EnterProgrammingMode();
    for (uint8_t round = 0; round < 3; ++round) {
        line = std::make_unique<LineClient>(link);
        const Frame read = ReadFrame(static_cast<uint8_t>(20 + round), 32u * round, 32);
        EXPECT_EQ(ReadDataFor(read, factory), Exchange(read)) << int{round};
    }
}

TEST_F(RadiosimProcess, ServesTheImageItIsGiven) {
    radiosim::RadioMemory image;
    for (size_t i = 0; i < radiosim::kMemorySize; ++i) {
        image[i] = static_cast<uint8_t>(i * 13);
    }
    std::ofstream(dir.Path("image.bin"), std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), radiosim::kMemorySize);
    Start({"--image", dir.Path("image.bin"), "--baud", "0"});
    EnterProgrammingMode();
    const Frame read = ReadFrame(2, 0xFFC0, 64);
    EXPECT_EQ(ReadDataFor(read, image), Exchange(read));
}

TEST_F(RadiosimProcess, RefusesABadImageOrOptionWithAMessage) {
    std::ofstream(dir.Path("short.bin"), std::ios::binary) << std::string(100, '\x01');
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{"--image", dir.Path("short.bin")}, "must be exactly 65536 bytes, it has 100"},
        {{"--image", dir.Path("absent.bin")}, "cannot open image"},
        {{"--frobnicate"}, "unknown option --frobnicate"},
        {{"--drop", "2"}, "bad value for --drop"},
    };
    for (const Case& c : cases) {
        const RunResult result = RunToExit(c.args);
        EXPECT_EQ(2, result.status) << c.message;
        EXPECT_NE(std::string::npos, result.stderrText.find(c.message)) << result.stderrText;
        EXPECT_EQ(std::string::npos, result.stderrText.find("ready")) << result.stderrText;
    }
    EXPECT_NE(std::string::npos, RunToExit({"--frobnicate"}).stderrText.find("usage: radiosim"));
}

TEST_F(RadiosimProcess, ControlLinesTakeEffectBeforeTheFrameThatFollowsThem) {
    const std::string control = dir.Path("control");
    Start({"--control", control, "--baud", "0"});
    const Frame read = ReadFrame(3, 0x0120, 4);

    WriteControl(control, "poke 0x0120 deadbeef\nmode programming\n");
    EXPECT_EQ(Encoded(proto::MakeReadData(read, Bytes{0xDE, 0xAD, 0xBE, 0xEF}.data(), 4)),
              Exchange(read));

    WriteControl(control, "silent on\n");
    line->Send(ReadFrame(4, 0x0120, 4));
    EXPECT_EQ(Bytes{}, line->ReceiveFor(300ms));

    WriteControl(control, "silent off\r\nmode normal\n");
    const Frame refused = ReadFrame(5, 0x0120, 4);
    EXPECT_EQ(Encoded(proto::MakeNak(refused, NakReason::NotInProgrammingMode)), Exchange(refused));

    WriteControl(control, "mode programming\nfaults drop=1\n");
    line->Send(ReadFrame(6, 0x0120, 4));
    EXPECT_EQ(Bytes{}, line->ReceiveFor(300ms));

    // Reset: the built-in memory, normal mode, no faults.
    WriteControl(control, "reset\n");
    const Frame afterReset = ReadFrame(7, 0x0120, 4);
    EXPECT_EQ(Encoded(proto::MakeNak(afterReset, NakReason::NotInProgrammingMode)),
              Exchange(afterReset));
    EnterProgrammingMode();
    const Frame factoryRead = ReadFrame(8, 0x0120, 4);
    EXPECT_EQ(ReadDataFor(factoryRead, factory), Exchange(factoryRead));

    WriteControl(control, "explode\n");
    EXPECT_EQ(0, sim.Stop(SIGTERM));
    const std::string logText = ReadFile(log);
    EXPECT_EQ(1u, CountLines(logText, "\"dir\":\"ctl\",\"line\":\"poke 0x0120 deadbeef\","
                                      "\"verdict\":\"ok\""));
    EXPECT_EQ(1u, CountLines(logText, "\"line\":\"explode\",\"verdict\":\"error: unknown"));
    EXPECT_EQ(1u, CountLines(logText, "\"seq\":4,\"addr\":288,\"bytes\":\"04\",\"verdict\":"
                                      "\"silent\""));
    EXPECT_NE(std::string::npos, sim.Stderr().find("control: unknown control command 'explode'"));
    EXPECT_FALSE(Exists(control)) << "the FIFO is removed at exit";
}

TEST_F(RadiosimProcess, SavesEveryAcceptedWriteLogsItAndReportsInconsistentStates) {
    const std::string save = dir.Path("memory.bin");
    Start({"--save", save, "--baud", "0"});
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(factory.data()), radiosim::kMemorySize),
              ReadFile(save))
        << "the memory is saved at start";
    EnterProgrammingMode();

    // A new squelch byte in the record's head leaves its checksum (in the tail) stale.
    const uint32_t record = radiosim::DefaultLayout::kRecordAddress;
    Bytes head(factory.data() + record, factory.data() + record + 32);
    head[22] = 0xB3;
    const Frame write = WriteFrame(9, record, head);
    EXPECT_EQ(Encoded(proto::MakeWriteAck(write, 32, proto::WriteCrc(write))), Exchange(write));
    EXPECT_EQ(0xB3, static_cast<uint8_t>(ReadFile(save)[record + 22]));

    // The host repeats the frame: same answer, not carried out again.
    EXPECT_EQ(Encoded(proto::MakeWriteAck(write, 32, proto::WriteCrc(write))), Exchange(write));

    EXPECT_EQ(0, sim.Stop(SIGINT));
    EXPECT_NE(std::string::npos, sim.Stderr().find("1 accepted writes, 1 inconsistent states"))
        << sim.Stderr();
    const std::string logText = ReadFile(log);
    // Two frames in (the write and its repeat), two answers out.
    EXPECT_EQ(2u, CountLines(logText, "\"dir\":\"in\",\"type\":\"write\",\"seq\":9,\"addr\":576,"
                                      "\"bytes\":\"2a33"));
    EXPECT_EQ(1u, CountLines(logText, "\"verdict\":\"ok\",\"record_ok\":false,\"vector_ok\":true,"
                                      "\"inconsistent\":1"));
    EXPECT_EQ(1u, CountLines(logText, "\"verdict\":\"repeat\""));
    EXPECT_EQ(2u, CountLines(logText, "\"dir\":\"out\",\"type\":\"write_ack\",\"seq\":9"));
    EXPECT_EQ(1u, CountLines(logText, "\"event\":\"exit\",\"accepted_writes\":1,"
                                      "\"inconsistent\":1"));
    EXPECT_FALSE(Exists(link));
}

TEST_F(RadiosimProcess, DamagedFramesGetNoAnswerAndTheNextGoodFrameDoes) {
    Start({"--baud", "0"});
    EnterProgrammingMode();
    Bytes damaged = Encoded(ReadFrame(10, 0x0120, 32));
    damaged[5] ^= 0x10;
    line->Send(damaged);
    EXPECT_EQ(Bytes{}, line->ReceiveFor(300ms));
    const Frame read = ReadFrame(11, 0x0120, 32);
    EXPECT_EQ(ReadDataFor(read, factory), Exchange(read));
    EXPECT_EQ(0, sim.Stop(SIGTERM));
    EXPECT_EQ(1u, CountLines(ReadFile(log), "\"type\":\"damaged\""));
    EXPECT_EQ(1u, CountLines(ReadFile(log), "\"verdict\":\"bad_crc\""));
}

TEST_F(RadiosimProcess, InjectedFaultsSpoilWhatTheRadioSends) {
    // Every outgoing byte lost.
    Start({"--drop", "1", "--baud", "0"});
    line->Send(CommandFrame(1, kProgrammingMode));
    EXPECT_EQ(Bytes{}, line->ReceiveFor(300ms));
    EXPECT_EQ(0, sim.Stop(SIGTERM));
    EXPECT_EQ(1u, CountLines(ReadFile(log), "\"line_bytes\":13,\"dropped\":13"));

    // Every outgoing byte with one bit flipped: as many bytes arrive, none of them right.
    Start({"--corrupt", "1", "--seed", "5", "--baud", "0"});
    const Frame command = CommandFrame(1, kProgrammingMode);
    line->Send(command);
    const Bytes clean = Encoded(proto::MakeCommandAck(command));
    const Bytes spoiled = line->ReceiveCount(clean.size(), 5000ms);
    ASSERT_EQ(clean.size(), spoiled.size());
    for (size_t i = 0; i < clean.size(); ++i) {
        EXPECT_NE(clean[i], spoiled[i]) << i;
    }
    EXPECT_EQ(0, sim.Stop(SIGTERM));

    // Every reply held back: it still arrives whole, and the log says it was held.
    Start({"--delay", "1", "--delay-ms", "200", "--baud", "0"});
    EnterProgrammingMode();
    EXPECT_EQ(0, sim.Stop(SIGTERM));
    EXPECT_EQ(1u, CountLines(ReadFile(log), "\"dropped\":0,\"corrupted\":0,\"held_ms\":200"));
}

// A serial device (here the slave of a pseudo-terminal the test owns) instead of a pty of
// the simulator's own; the test is the host at the master side.
TEST(RadiosimDevice, ServesAGivenSerialDevice) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(master, 0);
    ASSERT_EQ(0, ::grantpt(master));
    ASSERT_EQ(0, ::unlockpt(master));
    const std::string device = ::ptsname(master);
    // Held open so the master never sees a hang-up between the test's steps.
    const int slave = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(slave, 0);

    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--device", device, "--baud", "19200"})) << sim.Stderr();
    EXPECT_EQ(device, sim.Port());

    const Frame command = CommandFrame(1, kProgrammingMode);
    const Bytes request = Encoded(command);
    ASSERT_EQ(static_cast<ssize_t>(request.size()),
              ::write(master, request.data(), request.size()));
    Bytes reply;
    while (reply.empty() || reply.back() != 0) {
        pollfd fd = {master, POLLIN, 0};
        ASSERT_EQ(1, ::poll(&fd, 1, 5000)) << "no reply";
        uint8_t byte = 0;
        ASSERT_EQ(1, ::read(master, &byte, 1));
        reply.push_back(byte);
    }
    EXPECT_EQ(Encoded(proto::MakeCommandAck(command)), reply);
    EXPECT_EQ(0, sim.Stop(SIGTERM));
    ::close(slave);
    ::close(master);
}

} // namespace
