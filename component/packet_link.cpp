#include "component/packet_link.h"

#include <utility>

#include "component/new_link.h"
#include "component/serial_port.h"

PacketLink::PacketLink(PortOpener openPort, Clock& clock)
    : m_core(true, std::move(openPort), clock) {}

HRESULT PacketLink::QueryInterface(REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    // IUnknown always comes through IRadioLink, so that identity comparisons hold.
    if (iid == IID_IUnknown || iid == IID_IRadioLink) {
        *object = static_cast<IRadioLink*>(this);
    } else if (iid == IID_IPacketTransfer) {
        *object = static_cast<IPacketTransfer*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG PacketLink::AddRef() {
    return InterlockedIncrement(&m_references);
}

ULONG PacketLink::Release() {
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT PacketLink::Open(const char* port, int32_t option) {
    return m_core.Open(port, option);
}
HRESULT PacketLink::Close() {
    return m_core.Close();
}
HRESULT PacketLink::Send(TransferBuffer* buffer) {
    return m_core.Send(buffer);
}

HRESULT PacketLink::Request(const char* name, TransferBuffer* payload, uint32_t* address) {
    return m_core.Request(name, payload, address);
}

HRESULT PacketLink::Reply(int32_t flags, TransferBuffer* reply, uint32_t* address) {
    return m_core.Reply(flags, reply, address);
}

HRESULT NewPacketLink(PortOpener openPort, Clock& clock, REFIID iid, void** object) {
    return NewLinkObject<PacketLink>(std::move(openPort), clock, iid, object);
}

HRESULT NewPacketLink(REFIID iid, void** object) {
    return NewPacketLink(SerialPort::Open, SystemClock::Instance(), iid, object);
}
