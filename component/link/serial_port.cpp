#include "component/link/serial_port.h"

#include <new>

#include "protocol/link_timing.h"

namespace radiolink {

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

// A read ends 1 ms after the last byte that came in, or after waitMs with nothing. The interval
// timeout is what wakes the reader on arrival, on a UART and under Wine alike (Wine waits out
// the whole total timeout when there is no interval timeout, and does not honour the
// MAXDWORD idiom); the exchange engine keeps its own deadlines through waitMs.
COMMTIMEOUTS LinkTimeouts(DWORD waitMs) {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = 1;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = waitMs;
    // A write may take its time on the line, twice over, plus a margin.
    timeouts.WriteTotalTimeoutMultiplier = 2 * proto::LineTimeMs(1, proto::kLineBaud);
    timeouts.WriteTotalTimeoutConstant = 100;
    return timeouts;
}

// A named object that exists while a link of this session holds the port open. Port names
// are case-insensitive; a backslash may not appear in an object name.
HRESULT ClaimPort(const char* name, HANDLE& claimed) {
    constexpr char kPrefix[] = "Local\\Hushwell.radiolink.port.";
    char objectName[sizeof kPrefix + kMaxPortName] = {};
    lstrcpynA(objectName, kPrefix, sizeof objectName);
    char* at = objectName + sizeof kPrefix - 1;
    for (const char* c = name; *c; ++c, ++at) {
        *at = *c == '\\' ? '/' : *c;
    }
    CharUpperA(objectName + sizeof kPrefix - 1);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, objectName);
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

class SystemPortOpener final : public PortOpener {
public:
    HRESULT Open(const char* name, std::unique_ptr<BytePort>& port) override {
        return SerialPort::Open(name, port);
    }
};

SystemPortOpener g_systemPortOpener;

HANDLE OpenSerialDevice(const char* path) {
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

DeviceOpen g_openDevice = OpenSerialDevice;

} // namespace

PortOpener& SerialPortOpener() {
    return g_systemPortOpener;
}

DeviceOpen SetDeviceOpen(DeviceOpen open) {
    const DeviceOpen before = g_openDevice;
    g_openDevice = open ? open : OpenSerialDevice;
    return before;
}

HRESULT SerialPort::Open(const char* name, std::unique_ptr<BytePort>& port) {
    if (lstrlenA(name) > static_cast<int>(kMaxPortName)) {
        return E_INVALIDARG;
    }
    char path[4 + kMaxPortName + 1] = "\\\\.\\";
    lstrcpynA(path + 4, name, kMaxPortName + 1);
    // The port is claimed once it is open, never before: an open that blocks (a Bluetooth link
    // connecting) must not make every later open of the port report it in use.
    UniqueHandle handle(g_openDevice(path));
    if (!handle.IsValid()) {
        return LastError();
    }
    HANDLE claimed = nullptr;
    const HRESULT claimResult = ClaimPort(name, claimed);
    if (FAILED(claimResult)) {
        return claimResult;
    }
    UniqueHandle claim(claimed);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle.Get(), &dcb)) {
        return LastError();
    }
    ApplyLineSettings(dcb);
    COMMTIMEOUTS timeouts = LinkTimeouts(proto::kReplyTimeoutMs);
    if (!SetupComm(handle.Get(), kQueueSize, kQueueSize) || !SetCommState(handle.Get(), &dcb) ||
        !SetCommTimeouts(handle.Get(), &timeouts) || !PurgeComm(handle.Get(), kPurgeAll)) {
        return LastError();
    }
    SerialPort* opened = new (std::nothrow) SerialPort(claim.Get(), handle.Get());
    if (!opened) {
        return E_OUTOFMEMORY;
    }
    claim.Release();
    handle.Release();
    opened->m_readWaitMs = timeouts.ReadTotalTimeoutConstant;
    port.reset(opened);
    return S_OK;
}

HRESULT SerialPort::Write(const uint8_t* bytes, size_t count) {
    DWORD written = 0;
    if (!WriteFile(m_handle.Get(), bytes, static_cast<DWORD>(count), &written, nullptr)) {
        return LastError();
    }
    return written == count ? S_OK : HRESULT_FROM_WIN32(ERROR_TIMEOUT);
}

HRESULT SerialPort::Read(uint8_t* out, size_t capacity, size_t& received, uint32_t waitMs) {
    DWORD got = 0;
    received = 0;
    if (waitMs != m_readWaitMs) {
        COMMTIMEOUTS timeouts = LinkTimeouts(waitMs);
        if (!SetCommTimeouts(m_handle.Get(), &timeouts)) {
            return LastError();
        }
        m_readWaitMs = waitMs;
    }
    if (!ReadFile(m_handle.Get(), out, static_cast<DWORD>(capacity), &got, nullptr)) {
        return LastError();
    }
    received = got;
    return S_OK;
}

void SerialPort::DiscardInput() {
    PurgeComm(m_handle.Get(), PURGE_RXCLEAR);
}

} // namespace radiolink
