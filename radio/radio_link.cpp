#include "radio/radio_link.h"

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

HRESULT CreatePacketLink(ComPtr<IRadioLink>& link, ComPtr<IPacketTransfer>& transfer) {
    const HRESULT hr = CreateRadioLink(CLSID_PacketLink, link);
    if (FAILED(hr)) {
        return hr;
    }
    link->QueryInterface(IID_IPacketTransfer, transfer.PutVoid());
    if (!transfer) {
        link.Reset();
        return E_NOINTERFACE;
    }
    return S_OK;
}

HRESULT Transfer(IPacketTransfer* transfer, const char* request, TransferBuffer* payload,
                 TransferBuffer* reply, uint32_t& transferAddress) {
    const HRESULT hr = transfer->Request(request, payload, &transferAddress);
    if (FAILED(hr)) {
        return hr;
    }
    return transfer->Reply(0, reply, &transferAddress);
}
