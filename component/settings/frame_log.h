// The link log: while the user has it switched on (user_settings.h), every link opened writes a
// line per frame it sends or receives to radiolink.log in the user's temporary folder. The file
// is opened once per link Open and each line written at once, unbuffered, so the log is whole
// whenever the program stops. A line that would take the file past kLogLimit bytes first drops
// the oldest lines: the newest kLogKept bytes stay, from the first whole line in them.
//
// Each line: the local time, then what happened (docs/component.md has a longer example):
//   2025-03-14 09:26:53.107 open COM1 as COM7: ok
//   2025-03-14 09:26:53.109 sent     seq 5A Read       len  1 first send
//   2025-03-14 09:26:53.531 sent     seq 5A Read       len  1 send 2 after silence
//   2025-03-14 09:26:53.560 received seq 5A ReadData   len  4 answer
#pragma once

#include <windows.h>

#include <cstdint>

#include "protocol/frame.h"

namespace radiolink {

constexpr DWORD kLogLimit = 256 * 1024;
constexpr DWORD kLogKept = 128 * 1024;

// %TEMP%\radiolink.log; false when the temporary folder's path is too long or unknown.
bool LinkLogPath(char (&path)[MAX_PATH]);

class FrameLog {
public:
    FrameLog() = default;
    FrameLog(const FrameLog&) = delete;
    FrameLog& operator=(const FrameLog&) = delete;
    ~FrameLog() { Close(); }

    // Opens the file when the user has switched the log on; otherwise every line is dropped.
    void Open();
    void Close();

    // A line of free text ("open COM1 as COM7: ok").
    void Line(const char* text);
    // A frame sent for the send-th time of its exchange (`after`: what made it go again).
    void Sent(const proto::Frame& frame, uint32_t send, const char* after);
    // A frame received, and what the exchange made of it.
    void Received(const proto::Frame& frame, const char* verdict);
    // Bytes up to a delimiter that were no frame.
    void Damaged(proto::DecodeResult why);
    // A frame sent ("sent    ") or received ("received"), with free text after it.
    void FrameLine(const char* direction, const proto::Frame& frame, const char* verdict);

private:
    void DropOldest(LONGLONG size);

    HANDLE m_file = INVALID_HANDLE_VALUE;
};

} // namespace radiolink
