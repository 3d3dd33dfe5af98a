#include "component/link/link_object.h"

#include <new>

#include "component/link/serial_port.h"

namespace radiolink {

LinkObject::LinkObject(LinkClass linkClass, PortOpener& opener, Clock& clock)
    : m_class(linkClass), m_core(linkClass == LinkClass::Packet, opener, clock) {}

HRESULT LinkObject::QueryInterface(REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    // IUnknown always comes through IRadioLink, so that identity comparisons hold.
    if (iid == IID_IUnknown || iid == IID_IRadioLink) {
        *object = static_cast<IRadioLink*>(this);
    } else if (iid == IID_IPacketTransfer && m_class == LinkClass::Packet) {
        *object = static_cast<IPacketTransfer*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT LinkObject::Open(const char* port, int32_t option) {
    return m_core.Open(port, option);
}

HRESULT LinkObject::Close() {
    return m_core.Close();
}

HRESULT LinkObject::Send(TransferBuffer* buffer) {
    return m_core.Send(buffer);
}

HRESULT LinkObject::Request(const char* name, TransferBuffer* payload, uint32_t* address) {
    return m_core.Request(name, payload, address);
}

HRESULT LinkObject::Reply(int32_t flags, TransferBuffer* reply, uint32_t* address) {
    return m_core.Reply(flags, reply, address);
}

HRESULT NewLink(LinkClass linkClass, PortOpener& opener, Clock& clock, REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    *object = nullptr;
    LinkObject* link = new (std::nothrow) LinkObject(linkClass, opener, clock);
    if (!link) {
        return E_OUTOFMEMORY;
    }
    // A failed QueryInterface leaves the construction reference the only one, and frees it.
    const HRESULT hr = link->QueryInterface(iid, object);
    link->Release();
    return hr;
}

HRESULT NewLink(LinkClass linkClass, REFIID iid, void** object) {
    static SystemClock clock;
    return NewLink(linkClass, SerialPortOpener(), clock, iid, object);
}

} // namespace radiolink
