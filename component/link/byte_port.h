// What the exchange engine needs of a line and of time, so that it runs the same against the
// serial port and against a scripted fake in the unit tests.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace radiolink {

class BytePort {
public:
    virtual ~BytePort() = default;
    // Writes all `count` bytes, or fails.
    virtual HRESULT Write(const uint8_t* bytes, size_t count) = 0;
    // Returns what has arrived as soon as the line falls quiet after it, or nothing once
    // `waitMs` have passed without a byte; `received` 0 means nothing came in that time.
    virtual HRESULT Read(uint8_t* out, size_t capacity, size_t& received, uint32_t waitMs) = 0;
    // Drops whatever has arrived and not been read.
    virtual void DiscardInput() = 0;
};

// Opens a port by name: the serial port in the DLL, a fake line in the unit tests.
class PortOpener {
public:
    virtual ~PortOpener() = default;
    virtual HRESULT Open(const char* name, std::unique_ptr<BytePort>& port) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual uint64_t NowMs() = 0;
};

// GetTickCount64: monotonic, unaffected by changes of the wall clock.
class SystemClock final : public Clock {
public:
    uint64_t NowMs() override { return GetTickCount64(); }
};

} // namespace radiolink
