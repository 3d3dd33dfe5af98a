// A thin pass-through in front of the real radiolink.dll: the program reaches the DLL's class
// objects through it, and it notes when each exchange started and how long every failed one
// took, so the soak can say how long a failure took to reach the operator.
#pragma once

#include <windows.h>

#include <mutex>

#include "radio/radio_link.h"

class ExchangeClock {
public:
    // An exchange (Send, or Request with its Reply) that started at startMs failed now.
    void ExchangeFailed(ULONGLONG startMs);
    // A message box appeared: the failure that caused it, if any, has been reported.
    void MessageShown();
    // A new operation starts: failures of the last one no longer wait for a message.
    void ForgetPending();

    ULONGLONG LongestFailedExchangeMs() const;
    ULONGLONG LongestFailureToMessageMs() const;
    unsigned FailedExchanges() const;

private:
    mutable std::mutex m_lock;
    ULONGLONG m_pendingStart = 0;
    ULONGLONG m_longestExchange = 0;
    ULONGLONG m_longestToMessage = 0;
    unsigned m_failed = 0;
};

// Registers, for this process and apartment, class objects for PacketLink and CommandLink that
// make the DLL's own instances and wrap them. Revoked when the object goes.
class TimedLinkRegistration {
public:
    TimedLinkRegistration(IClassFactory* packetFactory, IClassFactory* commandFactory,
                          ExchangeClock& clock);
    ~TimedLinkRegistration();
    TimedLinkRegistration(const TimedLinkRegistration&) = delete;
    TimedLinkRegistration& operator=(const TimedLinkRegistration&) = delete;

    HRESULT Result() const { return m_result; }

private:
    HRESULT m_result = S_OK;
    DWORD m_cookies[2] = {0, 0};
    IClassFactory* m_factories[2] = {nullptr, nullptr};
};
