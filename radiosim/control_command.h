// The commands a test sends the running radio through its control FIFO, one per line:
//   silent on|off
//   faults [drop=P] [corrupt=P] [delay=P] [delayms=MS] [corruptin=P]
//   mode programming|normal
//   reset                 (built-in memory, normal mode, no faults, not silent)
//   load FILE | save FILE (a Unix path, or a Wine path on drive Z:)
//   poke ADDR HEXBYTES    (ADDR decimal or 0x hex; bytes as hex digits, spaces allowed)
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace radiosim {

struct ControlCommand {
    enum class Kind { Silent, Faults, Mode, Reset, Load, Save, Poke };
    Kind kind = Kind::Reset;
    bool on = false; // Silent: on; Mode: programming
    std::optional<double> drop, corrupt, delay, corruptIn;
    std::optional<uint32_t> delayMs;
    std::string path;     // Load, Save
    uint32_t address = 0; // Poke
    std::vector<uint8_t> bytes;
};

enum class ControlParse { Command, Blank, Error };

// Blank lines and lines starting with '#' are Blank. On Error, `error` says what is wrong.
ControlParse ParseControlLine(const std::string& line, ControlCommand& command, std::string& error);

// "Z:\tmp\x" or "z:/tmp/x" (Wine's drive Z: is the Unix root) becomes "/tmp/x"; any other
// path is returned unchanged.
std::string UnixPath(const std::string& path);

} // namespace radiosim
