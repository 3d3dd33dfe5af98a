// One packet connection to the radio: a PacketLink instance asked for IRadioLink and
// IPacketTransfer, opened on COM1, and the payload and reply buffers its transfers carry.
// It ends in the order the radio's component relies on, whatever the exit path: Close (also
// after a failed Open), then IRadioLink released, then IPacketTransfer, then the two buffers.
#pragma once

#include <windows.h>

#include <cstdint>

#include "radio/radio_link.h"

namespace radio {

class PacketConnection {
public:
    // Allocates the two buffers; nothing else happens until Create.
    PacketConnection() = default;
    PacketConnection(const PacketConnection&) = delete;
    PacketConnection& operator=(const PacketConnection&) = delete;
    ~PacketConnection();

    // False when a buffer could not be allocated; nothing may be sent then.
    bool HasBuffers() const { return m_payload.IsValid() && m_reply.IsValid(); }

    // Makes the instance as IRadioLink and asks it for IPacketTransfer. On failure nothing is
    // held; E_NOINTERFACE when the instance gives no IPacketTransfer.
    HRESULT Create();
    // Opens the radio's port for memory requests.
    HRESULT Open();
    // Closes the port once; nothing when no instance was made.
    void Close();

    // One Request then Reply of `request` at the address held in transferAddress, which both
    // calls get by reference. Returns the first negative result, or the result of Reply.
    HRESULT Transfer(const char* request, uint32_t& transferAddress);

    TransferBuffer* Payload() { return m_payload.Get(); }
    TransferBuffer* Reply() { return m_reply.Get(); }

private:
    OwnedTransferBuffer m_payload;
    OwnedTransferBuffer m_reply;
    ComPtr<IRadioLink> m_link;
    ComPtr<IPacketTransfer> m_transfer;
    bool m_closed = false;
};

} // namespace radio
