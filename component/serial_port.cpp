#include "component/serial_port.h"

#include <cctype>

#include "protocol/link_timing.h"

namespace {

HRESULT LastError() {
    const DWORD error = GetLastError();
    return error == ERROR_SUCCESS ? E_FAIL : HRESULT_FROM_WIN32(error);
}

// Explicit values for every field, whatever the port held before.
void ApplyLineSettings(DCB& dcb) {
    dcb.BaudRate = proto::kLineBaud;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fAbortOnError = FALSE;
}

COMMTIMEOUTS LinkTimeouts() {
    COMMTIMEOUTS timeouts{};
    // A read returns what arrived within one poll interval: the exchange engine keeps its own
    // deadlines around it.
    timeouts.ReadIntervalTimeout = 0;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = kReadPollMs;
    // A write may take its time on the line, twice over, plus a margin.
    timeouts.WriteTotalTimeoutMultiplier = 2 * proto::LineTimeMs(1, proto::kLineBaud);
    timeouts.WriteTotalTimeoutConstant = 100;
    return timeouts;
}

// A named object that exists while a link of this session holds the port open. Port names
// are case-insensitive; a backslash may not appear in an object name.
HRESULT ClaimPort(const std::string& name, HANDLE& claimed) {
    std::string objectName = "Local\\Hushwell.radiolink.port.";
    for (char c : name) {
        objectName +=
            c == '\\' ? '/' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    HANDLE mutex = CreateMutexA(nullptr, FALSE, objectName.c_str());
    if (!mutex) {
        return LastError();
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
    }
    claimed = mutex;
    return S_OK;
}

constexpr DWORD kQueueSize = 1024;
constexpr DWORD kPurgeAll = PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR;

} // namespace

HRESULT SerialPort::Open(const std::string& name, std::unique_ptr<BytePort>& port) {
    HANDLE claimed = nullptr;
    const HRESULT claimResult = ClaimPort(name, claimed);
    if (FAILED(claimResult)) {
        return claimResult;
    }
    UniqueHandle claim(claimed);
    const std::string path = "\\\\.\\" + name;
    UniqueHandle handle(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    if (!handle.IsValid()) {
        return LastError();
    }
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle.Get(), &dcb)) {
        return LastError();
    }
    ApplyLineSettings(dcb);
    COMMTIMEOUTS timeouts = LinkTimeouts();
    if (!SetupComm(handle.Get(), kQueueSize, kQueueSize) || !SetCommState(handle.Get(), &dcb) ||
        !SetCommTimeouts(handle.Get(), &timeouts) || !PurgeComm(handle.Get(), kPurgeAll)) {
        return LastError();
    }
    port.reset(new SerialPort(claim.Release(), handle.Release()));
    return S_OK;
}

HRESULT SerialPort::Write(const uint8_t* bytes, size_t count) {
    DWORD written = 0;
    if (!WriteFile(m_handle.Get(), bytes, static_cast<DWORD>(count), &written, nullptr)) {
        return LastError();
    }
    return written == count ? S_OK : HRESULT_FROM_WIN32(ERROR_TIMEOUT);
}

HRESULT SerialPort::Read(uint8_t* out, size_t capacity, size_t& received) {
    DWORD got = 0;
    received = 0;
    if (!ReadFile(m_handle.Get(), out, static_cast<DWORD>(capacity), &got, nullptr)) {
        return LastError();
    }
    received = got;
    return S_OK;
}

void SerialPort::DiscardInput() {
    PurgeComm(m_handle.Get(), PURGE_RXCLEAR);
}
