#include "radiosim/options.h"

#include <gtest/gtest.h>

namespace {

using radiosim::ParseOptions;

TEST(Options, Defaults) {
    const radiosim::OptionsParse parse = ParseOptions({});
    ASSERT_TRUE(parse.ok);
    EXPECT_EQ(9600u, parse.options.baud);
    EXPECT_EQ(1u, parse.options.seed);
    EXPECT_EQ("", parse.options.link);
    EXPECT_EQ(0.0, parse.options.faults.drop);
    EXPECT_FALSE(parse.options.faults.silent);
}

TEST(Options, EveryOptionInBothSpellings) {
    const radiosim::OptionsParse parse = ParseOptions({"--link",
                                                       "/tmp/com1",
                                                       "--image=/tmp/in.bin",
                                                       "--save",
                                                       "/tmp/out.bin",
                                                       "--log",
                                                       "/tmp/log",
                                                       "--control=/tmp/ctl",
                                                       "--baud",
                                                       "0",
                                                       "--seed",
                                                       "0x10",
                                                       "--drop",
                                                       "0.1",
                                                       "--corrupt=0.2",
                                                       "--corrupt-in",
                                                       "0.3",
                                                       "--delay",
                                                       "0.4",
                                                       "--delay-ms",
                                                       "250",
                                                       "--silent"});
    ASSERT_TRUE(parse.ok) << parse.error;
    const radiosim::Options& o = parse.options;
    EXPECT_EQ("/tmp/com1", o.link);
    EXPECT_EQ("/tmp/in.bin", o.image);
    EXPECT_EQ("/tmp/out.bin", o.save);
    EXPECT_EQ("/tmp/log", o.log);
    EXPECT_EQ("/tmp/ctl", o.control);
    EXPECT_EQ(0u, o.baud);
    EXPECT_EQ(16u, o.seed);
    EXPECT_EQ(0.1, o.faults.drop);
    EXPECT_EQ(0.2, o.faults.corrupt);
    EXPECT_EQ(0.3, o.faults.corruptIn);
    EXPECT_EQ(0.4, o.faults.delay);
    EXPECT_EQ(250u, o.faults.delayMs);
    EXPECT_TRUE(o.faults.silent);
}

TEST(Options, DeviceWithAStandardBaud) {
    const radiosim::OptionsParse parse =
        ParseOptions({"--device", "/dev/ttyUSB0", "--baud", "19200"});
    ASSERT_TRUE(parse.ok) << parse.error;
    EXPECT_EQ("/dev/ttyUSB0", parse.options.device);
    EXPECT_EQ(19200u, parse.options.baud);
}

TEST(Options, MistakesAreRefusedWithAMessage) {
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus"},
        {"--link"},
        {"--link", ""},
        {"--baud", "fast"},
        {"--baud", "-1"},
        {"--drop", "1.5"},
        {"--drop", "-0.5"},
        {"--corrupt", "nan"},
        {"--delay-ms", "1.5"},
        {"--seed", "x"},
        {"--silent=yes"},
        {"positional"},
        {"--link", "/tmp/a", "--device", "/dev/ttyS0"},
        {"--device", "/dev/ttyS0", "--baud", "0"},
        {"--device", "/dev/ttyS0", "--baud", "12345"},
    };
    for (const auto& args : cases) {
        const radiosim::OptionsParse parse = ParseOptions(args);
        EXPECT_FALSE(parse.ok) << args[0];
        EXPECT_FALSE(parse.error.empty()) << args[0];
    }
}

TEST(Options, HelpIsNotAnError) {
    const radiosim::OptionsParse parse = ParseOptions({"--link", "/tmp/x", "--help"});
    EXPECT_TRUE(parse.help);
    EXPECT_NE(std::string::npos, radiosim::UsageText().find("--corrupt-in P"));
}

} // namespace
