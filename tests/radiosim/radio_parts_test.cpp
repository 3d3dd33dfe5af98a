// The parts around the simulated radio's core: image files, seeded faults, control lines.
#include <gtest/gtest.h>

#include <bitset>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "radiosim/control_command.h"
#include "radiosim/default_radio.h"
#include "radiosim/faults.h"
#include "radiosim/image_file.h"
#include "tests/protocol/hex.h"

namespace {

TEST(ImageFile, SavedImageLoadsBackAndWrongSizesAreRefused) {
    char folder[] = "/tmp/radiosim-test-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(folder));
    const std::string path = std::string(folder) + "/image.bin";
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
    std::remove(path.c_str());
    EXPECT_FALSE(radiosim::LoadImage(path, loaded, error));
    EXPECT_EQ("cannot open image " + path + ": No such file or directory", error);
    rmdir(folder);
}

Bytes Faulted(uint64_t seed, double drop, double corrupt) {
    radiosim::FaultInjector faults(seed);
    faults.Settings().drop = drop;
    faults.Settings().corrupt = corrupt;
    const Bytes bytes(500, 0x5A);
    return faults.Outgoing(bytes.data(), bytes.size()).bytes;
}

TEST(Faults, FollowTheSeed) {
    EXPECT_EQ(Faulted(42, 0.1, 0.1), Faulted(42, 0.1, 0.1));
    EXPECT_NE(Faulted(42, 0.1, 0.1), Faulted(43, 0.1, 0.1));
    EXPECT_EQ(Bytes(500, 0x5A), Faulted(1, 0, 0));
    EXPECT_EQ(Bytes(), Faulted(1, 1, 0));
    for (uint8_t byte : Faulted(1, 0, 1)) {
        EXPECT_EQ(1u, std::bitset<8>(byte ^ 0x5A).count()) << "one bit flipped per byte";
    }
}

TEST(ControlCommand, ExplainsMistakes) {
    const std::pair<const char*, const char*> mistakes[] = {
        {"silent maybe", "usage: silent on|off"},
        {"mode test", "usage: mode programming|normal"},
        {"reset now", "usage: reset"},
        {"faults", "faults needs at least one of drop=, corrupt=, delay=, delayms=, corruptin="},
        {"faults drop=2", "bad value in 'drop=2' (probabilities 0 to 1, delayms a whole number)"},
        {"faults loss=0.1", "unknown fault 'loss'"},
        {"load a b", "usage: load FILE"},
        {"poke 0x10 zz", "usage: poke ADDR HEXBYTES"},
        {"poke 65535 0102", "poke reaches past the memory"},
        {"explode", "unknown control command 'explode'"},
    };
    radiosim::ControlCommand command;
    std::string error;
    for (const auto& [line, message] : mistakes) {
        EXPECT_EQ(radiosim::ControlParse::Error, radiosim::ParseControlLine(line, command, error));
        EXPECT_EQ(message, error);
    }
    EXPECT_EQ(radiosim::ControlParse::Blank, radiosim::ParseControlLine("# note", command, error));
}

} // namespace
