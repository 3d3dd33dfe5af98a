#include "component/port_program/port_search.h"

#include <new>

#include "component/settings/user_settings.h"

namespace radiolink {

// One probe: its port and, once it has finished, its outcome (`done` is set last).
struct ProbeSlot {
    SearchState* state = nullptr;
    HMODULE module = nullptr; // the probe thread's reference to the module its code is in
    PortName port = {};
    ProbeOutcome outcome;
    volatile LONG done = 0;
};

struct SearchState {
    SearchState(PortOpener& opener, size_t count)
        : opener(opener), probes(new (std::nothrow) ProbeSlot[count]) {}

    void Release() {
        if (InterlockedDecrement(&refs) == 0) {
            delete this;
        }
    }

    volatile LONG refs = 1; // the search's, and one per probe thread
    volatile LONG stop = 0;
    PortOpener& opener;
    SearchLog log;
    std::unique_ptr<ProbeSlot[]> probes;
};

namespace {

DWORD WINAPI ProbeThread(void* parameter) {
    ProbeSlot& probe = *static_cast<ProbeSlot*>(parameter);
    SearchState& state = *probe.state;
    SystemClock clock;
    probe.outcome = ProbePort(probe.port, state.opener, clock, state.log, state.stop);
    InterlockedExchange(&probe.done, 1);
    const HMODULE module = probe.module;
    state.Release();
    FreeLibraryAndExitThread(module, 0);
}

bool IsDone(const ProbeSlot& probe) {
    return InterlockedCompareExchange(const_cast<volatile LONG*>(&probe.done), 0, 0) != 0;
}

// A probe that could not be started: its port counts as not opened, for that reason.
void NotStarted(ProbeSlot& probe, DWORD error) {
    probe.outcome = {Finding::NotOpened, HRESULT_FROM_WIN32(error)};
    probe.done = 1;
}

} // namespace

PortSearch::PortSearch(PortOpener& opener) : m_opener(opener) {}

bool PortSearch::Start(const char* const* ports, size_t count) {
    Abandon();
    m_state = new (std::nothrow) SearchState(m_opener, count);
    m_threads.reset(new (std::nothrow) HANDLE[count]());
    if (!m_state || !m_state->probes || !m_threads) {
        Abandon();
        return false;
    }
    m_count = count;
    m_startedMs = GetTickCount64();
    for (size_t i = 0; i < count; ++i) {
        ProbeSlot& probe = m_state->probes[i];
        probe.state = m_state;
        if (!ports[i]) {
            probe.outcome = {Finding::NotAsked, S_OK};
            probe.done = 1;
            continue;
        }
        lstrcpynA(probe.port, ports[i], sizeof probe.port);
        // The thread may outlive the window, and the DLL may be unloaded after it: it holds
        // the module until its last instruction (FreeLibraryAndExitThread).
        if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                reinterpret_cast<LPCWSTR>(&ProbeThread), &probe.module)) {
            NotStarted(probe, GetLastError());
            continue;
        }
        InterlockedIncrement(&m_state->refs);
        m_threads[i] = CreateThread(nullptr, 64 * 1024, ProbeThread, &probe,
                                    STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
        if (!m_threads[i]) {
            NotStarted(probe, GetLastError());
            FreeLibrary(probe.module);
            m_state->Release();
        }
    }
    return true;
}

bool PortSearch::Running() const {
    if (!m_state || GetTickCount64() - m_startedMs >= kSearchLimitMs) {
        return false;
    }
    for (size_t i = 0; i < m_count; ++i) {
        if (!IsDone(m_state->probes[i])) {
            return true;
        }
    }
    return false;
}

bool PortSearch::Outcome(size_t i, ProbeOutcome& outcome) const {
    if (!m_state || i >= m_count || !IsDone(m_state->probes[i])) {
        return false;
    }
    outcome = m_state->probes[i].outcome;
    return true;
}

void PortSearch::Stop(uint32_t waitMs) {
    if (m_state) {
        InterlockedExchange(&m_state->stop, 1);
        const uint64_t until = GetTickCount64() + waitMs;
        for (size_t i = 0; i < m_count; ++i) {
            const uint64_t now = GetTickCount64();
            if (m_threads[i]) {
                WaitForSingleObject(m_threads[i],
                                    now < until ? static_cast<DWORD>(until - now) : 0);
            }
        }
    }
}

void PortSearch::Abandon() {
    if (m_state) {
        InterlockedExchange(&m_state->stop, 1);
        m_state->Release();
    }
    m_state = nullptr;
    for (size_t i = 0; m_threads && i < m_count; ++i) {
        if (m_threads[i]) {
            CloseHandle(m_threads[i]);
        }
    }
    m_threads.reset();
    m_count = 0;
}

} // namespace radiolink
