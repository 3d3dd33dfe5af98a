// The radio link contract: the class ids, interfaces, transfer buffer and open options that a
// radio link component offers and Hushwell relies on. The component lives outside the program;
// whatever is registered for these class ids is used. Our own radiolink.dll implements this
// contract, and this header is all that the program and radiolink.dll share.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <cstddef>
#include <cstdint>

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

// The record crosses into a component built by someone else, so its layout is fixed: two 32-bit
// fields, then the pointer, with no padding (12 bytes on i686, 16 on x86_64).
static_assert(offsetof(TransferBuffer, count) == 0 && offsetof(TransferBuffer, capacity) == 4 &&
                  offsetof(TransferBuffer, data) == 8,
              "TransferBuffer's fields moved");
static_assert(sizeof(TransferBuffer) == 8 + sizeof(void*), "TransferBuffer's size changed");

constexpr int32_t kTransferCapacity = 64;

// Open options understood by the component.
constexpr int32_t kCommandConnection = 0;
constexpr int32_t kPacketConnection = 4;

// The requests of a packet connection, by name.
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
