// The JSON-lines log of everything the radio hears, answers and is told: one object per line,
// written through at once so that a reader (or a crash) never loses a line.
#pragma once

#include <string>

#include "radiosim/json_line.h"
#include "radiosim/unique_fd.h"

namespace radiosim {

class EventLog {
public:
    // Creates or truncates the file; false with a message when it cannot.
    bool Open(const std::string& path, std::string& error);
    // Appends the line; a log that is not open takes nothing.
    void Write(const JsonLine& line);

private:
    UniqueFd m_fd;
};

} // namespace radiosim
