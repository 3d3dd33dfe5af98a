// Runs the real radiosim program for a test and talks to it over its pseudo-terminal.
#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

#include "protocol/frame.h"

namespace simtest {

using Bytes = std::vector<uint8_t>;

class SimProcess {
public:
    SimProcess() = default;
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;
    ~SimProcess();

    // Starts radiosim and waits (up to 10 s) for its ready line; false if it ended first.
    bool Start(const std::vector<std::string>& args);
    // The port from the ready line.
    const std::string& Port() const { return m_port; }
    // Sends `signal`, waits for the exit and returns the exit status (-1: killed by a signal
    // or did not end within 10 s).
    int Stop(int signal);
    // Everything the program wrote on stderr so far.
    const std::string& Stderr();

private:
    void ReadStderr(int timeoutMs);
    pid_t m_pid = -1;
    int m_stderr = -1;
    std::string m_text;
    std::string m_port;
};

struct RunResult {
    int status = -1;
    std::string stderrText;
};
// Runs radiosim to its end (it must end within 10 s).
RunResult RunToExit(const std::vector<std::string>& args);

// The host's end of the line: the pty slave (through the published link), raw.
class LineClient {
public:
    explicit LineClient(const std::string& path);
    ~LineClient();
    bool IsOpen() const { return m_fd >= 0; }

    void Send(const Bytes& bytes);
    void Send(const proto::Frame& frame);
    // Bytes that arrive until a 0x00 delimiter or the deadline, whichever is first.
    Bytes ReceiveChunk(std::chrono::milliseconds deadline);
    // Bytes until `count` have arrived or the deadline passes.
    Bytes ReceiveCount(size_t count, std::chrono::milliseconds deadline);
    // Everything that arrives within `window`.
    Bytes ReceiveFor(std::chrono::milliseconds window);

private:
    int m_fd = -1;
};

Bytes Encoded(const proto::Frame& frame);

// A fresh folder under /tmp, removed with its files at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    std::string Path(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

std::string ReadFile(const std::string& path);

} // namespace simtest
