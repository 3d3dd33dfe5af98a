// Making a link object for a caller: construct it on the given line, hand out the interface
// asked for, and drop the construction reference, so that a failed QueryInterface frees it.
#pragma once

#include <windows.h>

#include <new>
#include <utility>

#include "component/link_core.h"

template <class Link>
HRESULT NewLinkObject(PortOpener openPort, Clock& clock, REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    Link* link = new (std::nothrow) Link(std::move(openPort), clock);
    if (!link) {
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = link->QueryInterface(iid, object);
    link->Release();
    return hr;
}
