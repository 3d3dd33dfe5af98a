// The radio link component: what Hushwell calls and relies on. The component lives outside the
// program; whatever is registered for these class ids is used. Our own radiolink.dll implements
// the same contract.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <utility>

// {CD8D04DC-E675-11D0-8013-0060B03C8AFF}: reads and writes radio memory.
inline constexpr CLSID CLSID_PacketLink = {
    0xCD8D04DC, 0xE675, 0x11D0, {0x80, 0x13, 0x00, 0x60, 0xB0, 0x3C, 0x8A, 0xFF}};
// {CD8D04DD-E675-11D0-8013-0060B03C8AFF}: sends commands.
inline constexpr CLSID CLSID_CommandLink = {
    0xCD8D04DD, 0xE675, 0x11D0, {0x80, 0x13, 0x00, 0x60, 0xB0, 0x3C, 0x8A, 0xFF}};
// {5BF31C6F-E368-11D0-8013-0060B03C8AFF}
inline constexpr IID IID_IRadioLink = {
    0x5BF31C6F, 0xE368, 0x11D0, {0x80, 0x13, 0x00, 0x60, 0xB0, 0x3C, 0x8A, 0xFF}};
// {5BF31C6E-E368-11D0-8013-0060B03C8AFF}
inline constexpr IID IID_IPacketTransfer = {
    0x5BF31C6E, 0xE368, 0x11D0, {0x80, 0x13, 0x00, 0x60, 0xB0, 0x3C, 0x8A, 0xFF}};

// Carries bytes to and from the component. capacity is always 64; data points to a 64-byte
// area from GlobalAlloc(GMEM_FIXED) owned by whoever made the buffer.
struct TransferBuffer {
    int32_t count;
    int32_t capacity;
    BYTE* data;
};

constexpr int32_t kTransferCapacity = 64;

// Open options understood by the component.
constexpr int32_t kCommandConnection = 0;
constexpr int32_t kPacketConnection = 4;

constexpr char kRadioPort[] = "COM1";
constexpr char kReadRequest[] = "REQ_RD_DATA";
constexpr char kWriteRequest[] = "REQ_WR_DATA";

struct IRadioLink : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Open(const char* port, int32_t option) = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    virtual HRESULT STDMETHODCALLTYPE Send(TransferBuffer* buffer) = 0;
};

struct IPacketTransfer : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Request(const char* name, TransferBuffer* payload,
                                              uint32_t* address) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reply(int32_t flags, TransferBuffer* reply,
                                            uint32_t* address) = 0;
};

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

// Makes a PacketLink instance as IRadioLink and asks it for IPacketTransfer. On failure both
// pointers are empty; E_NOINTERFACE when the instance gives no IPacketTransfer. Declare
// `transfer` before `link` so that IRadioLink is released first.
HRESULT CreatePacketLink(ComPtr<IRadioLink>& link, ComPtr<IPacketTransfer>& transfer);

// One Request then Reply at the address held in transferAddress, which both calls get by
// reference. Returns the first negative result, or the result of Reply.
HRESULT Transfer(IPacketTransfer* transfer, const char* request, TransferBuffer* payload,
                 TransferBuffer* reply, uint32_t& transferAddress);
