#include "radio/packet_connection.h"

namespace radio {

PacketConnection::~PacketConnection() {
    Close();
    m_link.Reset();
    m_transfer.Reset();
    // The buffers are freed after this body, with the members that own them.
}

HRESULT PacketConnection::Create() {
    const HRESULT hr = CreateRadioLink(CLSID_PacketLink, m_link);
    if (FAILED(hr)) {
        return hr;
    }
    m_link->QueryInterface(IID_IPacketTransfer, m_transfer.PutVoid());
    if (!m_transfer) {
        m_link.Reset();
        return E_NOINTERFACE;
    }
    return S_OK;
}

HRESULT PacketConnection::Open() {
    return m_link->Open(kRadioPort, kPacketConnection);
}

void PacketConnection::Close() {
    if (m_link && !m_closed) {
        m_closed = true;
        m_link->Close();
    }
}

HRESULT PacketConnection::Transfer(const char* request, uint32_t& transferAddress) {
    const HRESULT hr = m_transfer->Request(request, Payload(), &transferAddress);
    if (FAILED(hr)) {
        return hr;
    }
    return m_transfer->Reply(0, Reply(), &transferAddress);
}

} // namespace radio
