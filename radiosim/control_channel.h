// The control FIFO: created at start, read without blocking, removed at exit. The radio holds
// a writing end of its own open, so writers may come and go without an end-of-file.
#pragma once

#include <string>
#include <vector>

#include "radiosim/unique_fd.h"

namespace radiosim {

class ControlChannel {
public:
    ControlChannel() = default;
    ControlChannel(const ControlChannel&) = delete;
    ControlChannel& operator=(const ControlChannel&) = delete;
    ~ControlChannel();

    // Makes the FIFO (replacing an old FIFO at that path, never any other kind of file).
    bool Create(const std::string& path, std::string& error);
    int fd() const { return m_read.get(); }

    // Reads whatever is pending and returns the complete lines, without their line ends.
    std::vector<std::string> ReadLines();

private:
    std::string m_path;
    UniqueFd m_read;
    UniqueFd m_keepOpen;
    std::string m_partial;
};

} // namespace radiosim
