// The simulated radio's side channels as a Windows test sees them (tests/lib/with-radiosim
// exports their paths): the control FIFO and the JSON-lines log of every frame.
#pragma once

#include <cstddef>
#include <string>

class RadioSimulator {
public:
    // Reads RADIOSIM_CONTROL_WIN and RADIOSIM_LOG_WIN; Available() is false without them.
    RadioSimulator();

    bool Available() const { return !m_control.empty() && !m_log.empty(); }
    // The folder of the log, for files the test hands to the radio ("Z:\...\").
    std::string WorkFolder() const;

    // Sends one control line and waits until the radio's log shows it applied. Returns the
    // log's verdict ("ok" or "error: ..."), or a description of what failed.
    std::string Control(const std::string& line);

    // Frames the radio has received so far, damaged ones included.
    size_t FramesReceived() const;
    // The whole log as text.
    std::string Log() const;

private:
    std::string m_control;
    std::string m_log;
};

// Writes bytes to a file at a Windows path (a Z:\ path is visible to the radio too).
bool WriteWholeFile(const std::string& path, const void* bytes, size_t size);
