#include "component/settings/frame_log.h"

#include <cstring>
#include <memory>
#include <new>

#include "component/settings/user_settings.h"

namespace radiolink {

namespace {

const char* TypeName(proto::FrameType type) {
    switch (type) {
    case proto::FrameType::Command:
        return "Command";
    case proto::FrameType::Read:
        return "Read";
    case proto::FrameType::Write:
        return "Write";
    case proto::FrameType::CommandAck:
        return "CommandAck";
    case proto::FrameType::ReadData:
        return "ReadData";
    case proto::FrameType::WriteAck:
        return "WriteAck";
    case proto::FrameType::Nak:
        return "Nak";
    }
    return "?";
}

} // namespace

bool LinkLogPath(char (&path)[MAX_PATH]) {
    constexpr char kName[] = "radiolink.log";
    const DWORD length = GetTempPathA(MAX_PATH, path);
    return length > 0 && length + sizeof kName <= MAX_PATH && lstrcatA(path, kName);
}

void FrameLog::Open() {
    Close();
    char path[MAX_PATH];
    if (LinkLogOn() && LinkLogPath(path)) {
        // Shared: the program's two links may both have it open, and a person may read it.
        m_file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
}

void FrameLog::Close() {
    if (m_file != INVALID_HANDLE_VALUE) {
        CloseHandle(m_file);
    }
    m_file = INVALID_HANDLE_VALUE;
}

void FrameLog::Line(const char* text) {
    if (m_file == INVALID_HANDLE_VALUE) {
        return;
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    char line[256];
    const int size =
        wsprintfA(line, "%04u-%02u-%02u %02u:%02u:%02u.%03u %.200s\r\n", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds, text);
    // At the end, wherever another link's lines have taken it.
    LARGE_INTEGER end{};
    if (!SetFilePointerEx(m_file, LARGE_INTEGER{}, &end, FILE_END)) {
        return;
    }
    if (end.QuadPart + size > kLogLimit) {
        DropOldest(end.QuadPart);
    }
    DWORD written = 0;
    if (m_file != INVALID_HANDLE_VALUE) {
        WriteFile(m_file, line, static_cast<DWORD>(size), &written, nullptr);
    }
}

void FrameLog::Sent(const proto::Frame& frame, uint32_t send, const char* after) {
    char verdict[40] = "first send";
    if (send > 1) {
        wsprintfA(verdict, "send %u after %s", send, after);
    }
    FrameLine("sent    ", frame, verdict);
}

void FrameLog::Received(const proto::Frame& frame, const char* verdict) {
    FrameLine("received", frame, verdict);
}

void FrameLog::Damaged(proto::DecodeResult why) {
    char text[64];
    wsprintfA(text, "received damaged frame: %s", proto::DecodeResultName(why));
    Line(text);
}

void FrameLog::FrameLine(const char* direction, const proto::Frame& frame, const char* verdict) {
    if (m_file != INVALID_HANDLE_VALUE) {
        char text[128];
        wsprintfA(text, "%s seq %02X %-10s len %2u %s", direction, frame.sequence,
                  TypeName(frame.type), frame.length, verdict);
        Line(text);
    }
}

// Keeps the lines that start within the newest kLogKept bytes of a file of `size` bytes, which
// is more than kLogKept + 1 (the line to come takes it past kLogLimit). The log stops when that
// fails, rather than grow without bound.
void FrameLog::DropOldest(LONGLONG size) {
    // From one byte before them: a line that starts right at them stays whole.
    const std::unique_ptr<char[]> kept(new (std::nothrow) char[kLogKept + 1]);
    LARGE_INTEGER from{};
    from.QuadPart = size - kLogKept - 1;
    DWORD got = 0, written = 0;
    if (!kept || !SetFilePointerEx(m_file, from, nullptr, FILE_BEGIN) ||
        !ReadFile(m_file, kept.get(), kLogKept + 1, &got, nullptr)) {
        Close();
        return;
    }
    const char* newline = static_cast<const char*>(std::memchr(kept.get(), '\n', got));
    const char* start = newline ? newline + 1 : kept.get() + got;
    const DWORD count = static_cast<DWORD>(kept.get() + got - start);
    if (!SetFilePointerEx(m_file, LARGE_INTEGER{}, nullptr, FILE_BEGIN) ||
        !WriteFile(m_file, start, count, &written, nullptr) || !SetEndOfFile(m_file)) {
        Close();
    }
}

} // namespace radiolink
