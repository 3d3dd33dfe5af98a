// The radio's end of the serial line: a pseudo-terminal whose slave side the host opens, or
// a real serial device.
#pragma once

#include <cstdint>
#include <string>

#include "radiosim/unique_fd.h"

namespace radiosim {

class LinePort {
public:
    LinePort() = default;
    LinePort(const LinePort&) = delete;
    LinePort& operator=(const LinePort&) = delete;
    ~LinePort();

    // Opens a pseudo-terminal in raw mode; with a non-empty `link`, publishes the slave path
    // as a symbolic link there, replacing an older link (never another kind of file).
    bool OpenPty(const std::string& link, std::string& error);
    // Opens a serial device raw, 8N1, no flow control, at `baud`.
    bool OpenDevice(const std::string& device, uint32_t baud, std::string& error);

    // The descriptor the radio reads and writes (non-blocking).
    int fd() const { return m_io.get(); }
    // The path the host opens: the pty slave or the device.
    const std::string& Name() const { return m_name; }

    static bool IsSupportedBaud(uint32_t baud);

private:
    bool PublishLink(const std::string& link, std::string& error);

    UniqueFd m_io;
    // The simulator's own handle on the pty slave. While it is open the master never sees a
    // hang-up, however often the host opens and closes the port.
    UniqueFd m_slaveHeld;
    std::string m_name;
    std::string m_link;
};

} // namespace radiosim
