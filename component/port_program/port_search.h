// Find radio's search: every port probed at once (port_probe.h), each on a thread of its own, so
// that ten ports take about as long as one probe and a port whose driver never returns holds up
// nobody. The window that started it only looks at the outcomes (it never waits on a port), and
// stops it at any time: each probe ends within kProbeSliceMs and closes its port. A thread stuck
// in a driver call is left behind when the search stops; it keeps what it uses (the search's
// state, the module its code is in) alive and closes its port when the call returns.
#pragma once

#include <windows.h>

#include <memory>

#include "component/port_program/port_probe.h"
#include "component/link/serial_port.h"

namespace radiolink {

struct SearchState; // shared by the search and its probe threads

// The search is over by this time after its start, whatever a port's driver does: a probe not
// finished then counts as no answer. Two attempts of a probe take 830 ms.
constexpr uint32_t kSearchLimitMs = 1500;
// Stop waits this long for the probes to close their ports.
constexpr uint32_t kStopWaitMs = 500;

class PortSearch {
public:
    // `opener` must outlive every probe thread: the serial ports' opener, or a test's fake.
    explicit PortSearch(PortOpener& opener = SerialPortOpener());
    PortSearch(const PortSearch&) = delete;
    PortSearch& operator=(const PortSearch&) = delete;
    ~PortSearch() {
        Stop();
        Abandon();
    }

    // Lets any search before go, then starts a probe of each of the `count` ports at once; a port
    // that is nullptr is not opened (its outcome is NotAsked). False when there is no memory.
    bool Start(const char* const* ports, size_t count);
    // True until every probe has finished or kSearchLimitMs have passed since Start.
    bool Running() const;
    // Port i's outcome, once its probe has finished; false before.
    bool Outcome(size_t i, ProbeOutcome& outcome) const;
    // Tells every probe to end and waits up to `waitMs` for them to close their ports. The
    // outcomes stay readable until the next Start.
    void Stop(uint32_t waitMs = kStopWaitMs);

private:
    // Lets the probes go, without waiting, and forgets them.
    void Abandon();

    PortOpener& m_opener;
    SearchState* m_state = nullptr;
    std::unique_ptr<HANDLE[]> m_threads; // closed by Abandon
    size_t m_count = 0;
    uint64_t m_startedMs = 0;
};

} // namespace radiolink
