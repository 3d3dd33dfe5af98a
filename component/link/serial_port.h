// The serial port behind a link: opened exclusively with fixed line settings, closed with
// its handle. Line settings (docs/component.md): 9600 baud, 8 data bits, no parity, one stop
// bit, binary, no flow control of any kind, DTR and RTS held on as a plain DCB setting. The
// port is never asked for modem status and its lines are never switched by call, so a
// pseudo-terminal serves as well as a UART.
#pragma once

#include <windows.h>

#include <memory>

#include "component/link/byte_port.h"
#include "component/settings/user_settings.h" // kMaxPortName

namespace radiolink {

// Closes a Win32 handle exactly once.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : m_handle(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    HANDLE Get() const { return m_handle; }
    bool IsValid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    // Hands the handle over to a new owner.
    HANDLE Release() {
        HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return handle;
    }
    void Reset() {
        if (IsValid()) {
            CloseHandle(m_handle);
        }
        m_handle = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};

class SerialPort : public BytePort {
public:
    // Opens "\\.\<name>" and applies the line settings, timeouts and a purge. Fails at once
    // with HRESULT_FROM_WIN32 of the Windows error when the port is absent, busy or refuses a
    // setting. Besides the exclusive open, the port is claimed by name, once opened, for as long as
    // it is open, so that two links never share it even where the system lets a serial device be
    // opened twice (Wine does); a claimed port gives ERROR_ACCESS_DENIED, as Windows reports
    // a port in use.
    // E_INVALIDARG for a name longer than kMaxPortName.
    static HRESULT Open(const char* name, std::unique_ptr<BytePort>& port);

    HRESULT Write(const uint8_t* bytes, size_t count) override;
    HRESULT Read(uint8_t* out, size_t capacity, size_t& received, uint32_t waitMs) override;
    void DiscardInput() override;

private:
    SerialPort(HANDLE claim, HANDLE handle) : m_claim(claim), m_handle(handle) {}

    UniqueHandle m_claim;
    UniqueHandle m_handle;
    DWORD m_readWaitMs = 0; // the total read timeout the port holds now
};

// Opens serial ports for the links of the DLL.
PortOpener& SerialPortOpener();

// Opens the device of a port ("\\.\COM7") for SerialPort::Open: CreateFile, exclusive. Tests
// replace it to see what holds while a device opens; the product never does. nullptr puts
// CreateFile back. Returns the one before.
using DeviceOpen = HANDLE (*)(const char* path);
DeviceOpen SetDeviceOpen(DeviceOpen open);

} // namespace radiolink
