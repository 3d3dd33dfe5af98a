#include "radio/radio_link.h"

namespace radio {

namespace {

BYTE* AllocateFromGlobalHeap() {
    return static_cast<BYTE*>(GlobalAlloc(GMEM_FIXED, kTransferCapacity));
}

TransferAreaAllocator g_allocateArea = AllocateFromGlobalHeap;

} // namespace

TransferAreaAllocator SetTransferAreaAllocator(TransferAreaAllocator allocator) {
    return std::exchange(g_allocateArea, allocator ? allocator : AllocateFromGlobalHeap);
}

OwnedTransferBuffer::OwnedTransferBuffer() : m_buffer{0, kTransferCapacity, g_allocateArea()} {}

OwnedTransferBuffer::~OwnedTransferBuffer() {
    if (m_buffer.data) {
        GlobalFree(m_buffer.data);
    }
}

HRESULT CreateRadioLink(const CLSID& clsid, ComPtr<IRadioLink>& link) {
    ComPtr<IClassFactory> factory;
    HRESULT hr = CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                  factory.PutVoid());
    if (FAILED(hr)) {
        return hr;
    }
    if (!factory) {
        return E_POINTER;
    }
    hr = factory->CreateInstance(nullptr, IID_IRadioLink, link.PutVoid());
    factory.Reset();
    if (SUCCEEDED(hr) && !link) {
        hr = E_POINTER;
    }
    if (FAILED(hr)) {
        link.Reset();
    }
    return hr;
}

} // namespace radio
