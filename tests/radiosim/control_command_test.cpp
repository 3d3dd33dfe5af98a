#include "radiosim/control_command.h"

#include <gtest/gtest.h>

namespace {

using radiosim::ControlCommand;
using radiosim::ControlParse;
using Kind = ControlCommand::Kind;

ControlCommand Parsed(const std::string& line) {
    ControlCommand command;
    std::string error;
    EXPECT_EQ(ControlParse::Command, radiosim::ParseControlLine(line, command, error)) << line;
    EXPECT_EQ("", error) << line;
    return command;
}

TEST(ControlCommand, SimpleCommands) {
    struct Case {
        const char* line;
        Kind kind;
        bool on;
    };
    const Case cases[] = {
        {"silent on", Kind::Silent, true},       {"silent off", Kind::Silent, false},
        {"  silent   on  ", Kind::Silent, true}, {"mode programming", Kind::Mode, true},
        {"mode normal", Kind::Mode, false},      {"reset", Kind::Reset, false},
    };
    for (const Case& c : cases) {
        const ControlCommand command = Parsed(c.line);
        EXPECT_EQ(c.kind, command.kind) << c.line;
        EXPECT_EQ(c.on, command.on) << c.line;
    }
}

TEST(ControlCommand, FaultsSetOnlyTheNamedSettings) {
    const ControlCommand some = Parsed("faults drop=0.25 delayms=300");
    EXPECT_EQ(Kind::Faults, some.kind);
    EXPECT_EQ(0.25, some.drop.value_or(-1));
    EXPECT_EQ(300u, some.delayMs.value_or(0));
    EXPECT_FALSE(some.corrupt.has_value());
    EXPECT_FALSE(some.delay.has_value());
    EXPECT_FALSE(some.corruptIn.has_value());

    const ControlCommand all = Parsed("faults drop=0 corrupt=1 delay=0.5 delayms=0 corruptin=.1");
    EXPECT_EQ(0.0, all.drop.value_or(-1));
    EXPECT_EQ(1.0, all.corrupt.value_or(-1));
    EXPECT_EQ(0.5, all.delay.value_or(-1));
    EXPECT_EQ(0u, all.delayMs.value_or(99));
    EXPECT_EQ(0.1, all.corruptIn.value_or(-1));
}

TEST(ControlCommand, FilesAndPokes) {
    const ControlCommand load = Parsed("load /tmp/radio.bin");
    EXPECT_EQ(Kind::Load, load.kind);
    EXPECT_EQ("/tmp/radio.bin", load.path);

    const ControlCommand save = Parsed("save Z:\\tmp\\sim\\memory.bin");
    EXPECT_EQ(Kind::Save, save.kind);
    EXPECT_EQ("/tmp/sim/memory.bin", save.path);

    const ControlCommand poke = Parsed("poke 0x0240 2a 33 00ff");
    EXPECT_EQ(Kind::Poke, poke.kind);
    EXPECT_EQ(0x0240u, poke.address);
    EXPECT_EQ((std::vector<uint8_t>{0x2A, 0x33, 0x00, 0xFF}), poke.bytes);

    EXPECT_EQ(65535u, Parsed("poke 65535 01").address);
}

TEST(ControlCommand, BlankLinesAndComments) {
    ControlCommand command;
    std::string error;
    for (const char* line : {"", "   ", "# a note", "\t"}) {
        EXPECT_EQ(ControlParse::Blank, radiosim::ParseControlLine(line, command, error)) << line;
    }
}

TEST(ControlCommand, MistakesAreReportedWithAMessage) {
    const char* lines[] = {
        "silent",
        "silent maybe",
        "mode test",
        "reset now",
        "faults",
        "faults drop=2",
        "faults drop=-0.1",
        "faults loss=0.1",
        "faults drop",
        "faults delayms=x",
        "faults delayms=0.5",
        "load",
        "load a b",
        "poke",
        "poke 0x10",
        "poke 0x10 abc",
        "poke 0x10 zz",
        "poke 65535 0102",
        "poke 0x10000 01",
        "explode",
    };
    for (const char* line : lines) {
        ControlCommand command;
        std::string error;
        EXPECT_EQ(ControlParse::Error, radiosim::ParseControlLine(line, command, error)) << line;
        EXPECT_FALSE(error.empty()) << line;
    }
}

TEST(ControlCommand, WinePathsOnDriveZBecomeUnixPaths) {
    EXPECT_EQ("/tmp/a/b", radiosim::UnixPath("Z:\\tmp\\a\\b"));
    EXPECT_EQ("/tmp/a/b", radiosim::UnixPath("z:/tmp/a/b"));
    EXPECT_EQ("/tmp/a", radiosim::UnixPath("/tmp/a"));
    EXPECT_EQ("C:\\temp\\a", radiosim::UnixPath("C:\\temp\\a"));
    EXPECT_EQ("relative", radiosim::UnixPath("relative"));
}

} // namespace
