// The program's side of the radio link: owning interface pointers and transfer buffers, and
// making link instances through whatever component is registered for the link classes.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <utility>

#include "contract/link_contract.h"

namespace radio {

// The port the radio is on.
constexpr char kRadioPort[] = "COM1";

// Owns one interface pointer and releases it exactly once.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { Reset(); }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // For out-parameters: releases what is held first.
    T** Put() {
        Reset();
        return &m_p;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    void Reset() {
        if (m_p) {
            std::exchange(m_p, nullptr)->Release();
        }
    }

private:
    T* m_p = nullptr;
};

// A TransferBuffer together with its 64-byte area; frees the area when it goes.
class OwnedTransferBuffer {
public:
    OwnedTransferBuffer();
    OwnedTransferBuffer(const OwnedTransferBuffer&) = delete;
    OwnedTransferBuffer& operator=(const OwnedTransferBuffer&) = delete;
    ~OwnedTransferBuffer();

    // False when the area could not be allocated; nothing may be written through it then.
    bool IsValid() const { return m_buffer.data != nullptr; }
    TransferBuffer* Get() { return &m_buffer; }
    TransferBuffer* operator->() { return &m_buffer; }

private:
    TransferBuffer m_buffer;
};

// Allocates a 64-byte transfer area (GlobalAlloc, GMEM_FIXED). Tests replace it to make
// allocation fail; the program never does.
using TransferAreaAllocator = BYTE* (*)();
TransferAreaAllocator SetTransferAreaAllocator(TransferAreaAllocator allocator);

// Gets the class object in-process, has it create an instance asked for IRadioLink, and
// releases the class object right after the creation, whether or not it succeeded.
HRESULT CreateRadioLink(const CLSID& clsid, ComPtr<IRadioLink>& link);

} // namespace radio
