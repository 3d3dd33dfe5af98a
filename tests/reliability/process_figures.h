// The process's handles and memory. Wine 8 answers GetProcessHandleCount and the PrivateUsage
// of GetProcessMemoryInfo with 0, so both are also measured in ways that work there: the
// value of a freshly made handle (the handle table hands out its lowest free slot, so leaked
// handles push it up) and the committed private memory found by walking the address space.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <cstdint>

struct ProcessFigures {
    DWORD handleCount = 0;     // GetProcessHandleCount (0 under Wine)
    uintptr_t freshHandle = 0; // value of a new event handle
    SIZE_T privateCommitted = 0;
    SIZE_T workingSet = 0;
};

inline SIZE_T CommittedPrivateBytes() {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION info{};
    const char* at = nullptr;
    while (VirtualQuery(at, &info, sizeof info) == sizeof info) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) {
            total += info.RegionSize;
        }
        const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
        if (next <= at) {
            break;
        }
        at = next;
    }
    return total;
}

inline ProcessFigures MeasureProcess() {
    ProcessFigures figures;
    GetProcessHandleCount(GetCurrentProcess(), &figures.handleCount);
    const HANDLE probe = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    figures.freshHandle = reinterpret_cast<uintptr_t>(probe);
    CloseHandle(probe);
    figures.privateCommitted = CommittedPrivateBytes();
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
        figures.workingSet = counters.WorkingSetSize;
    }
    return figures;
}
