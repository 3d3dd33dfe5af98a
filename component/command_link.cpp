#include "component/command_link.h"

#include <utility>

#include "component/new_link.h"
#include "component/serial_port.h"

CommandLink::CommandLink(PortOpener openPort, Clock& clock)
    : m_core(false, std::move(openPort), clock) {}

HRESULT CommandLink::QueryInterface(REFIID iid, void** object) {
    if (!object) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IRadioLink) {
        *object = static_cast<IRadioLink*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CommandLink::AddRef() {
    return InterlockedIncrement(&m_references);
}

ULONG CommandLink::Release() {
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT CommandLink::Open(const char* port, int32_t option) {
    return m_core.Open(port, option);
}
HRESULT CommandLink::Close() {
    return m_core.Close();
}
HRESULT CommandLink::Send(TransferBuffer* buffer) {
    return m_core.Send(buffer);
}

HRESULT NewCommandLink(PortOpener openPort, Clock& clock, REFIID iid, void** object) {
    return NewLinkObject<CommandLink>(std::move(openPort), clock, iid, object);
}

HRESULT NewCommandLink(REFIID iid, void** object) {
    return NewCommandLink(SerialPort::Open, SystemClock::Instance(), iid, object);
}
