// What the exchange engine needs of a line and of time, so that it runs the same against the
// serial port and against a scripted fake in the unit tests.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

class BytePort {
public:
    virtual ~BytePort() = default;
    // Writes all `count` bytes, or fails.
    virtual HRESULT Write(const uint8_t* bytes, size_t count) = 0;
    // Returns what has arrived, waiting at most a short poll interval (a few tens of
    // milliseconds) when nothing has; `received` 0 means nothing came in that time.
    virtual HRESULT Read(uint8_t* out, size_t capacity, size_t& received) = 0;
    // Drops whatever has arrived and not been read.
    virtual void DiscardInput() = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual uint64_t NowMs() = 0;
};

// GetTickCount64: monotonic, unaffected by changes of the wall clock.
class SystemClock : public Clock {
public:
    uint64_t NowMs() override { return GetTickCount64(); }
    static SystemClock& Instance() {
        static SystemClock clock;
        return clock;
    }
};
