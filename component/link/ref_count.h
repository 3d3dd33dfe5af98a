// The reference count of one of the component's COM objects. The object counts as live for
// DllCanUnloadNow from its construction to its deletion.
#pragma once

#include <windows.h>

#include "component/link/module_count.h"

namespace radiolink {

class RefCount {
public:
    RefCount() = default;
    RefCount(const RefCount&) = delete;
    RefCount& operator=(const RefCount&) = delete;

    ULONG Add() { return InterlockedIncrement(&m_count); }
    // Drops one reference and deletes `owner` with the last.
    template <class Owner>
    ULONG Drop(Owner* owner) {
        const LONG left = InterlockedDecrement(&m_count);
        if (left == 0) {
            delete owner;
        }
        return left;
    }

private:
    LONG m_count = 1;
    LiveObject m_live;
};

} // namespace radiolink
