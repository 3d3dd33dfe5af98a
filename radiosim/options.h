// The simulator's command line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "radiosim/faults.h"

namespace radiosim {

struct Options {
    std::string link;     // publish the pty slave here
    std::string device;   // serve this serial device instead of a pty
    std::string image;    // initial memory; empty: the built-in radio
    std::string save;     // memory written here after each accepted write and at exit
    std::string log;      // JSON-lines log
    std::string control;  // control FIFO
    uint32_t baud = 9600; // 0: no pacing
    uint64_t seed = 1;
    FaultSettings faults;
};

struct OptionsParse {
    bool ok = false;
    bool help = false;
    std::string error;
    Options options;
};

OptionsParse ParseOptions(const std::vector<std::string>& args);
std::string UsageText();

} // namespace radiosim
