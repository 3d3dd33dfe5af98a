// The behaviour both link classes share: the open port, the kind of connection, Send, and
// the Request/Reply pair of a packet connection with its one pending exchange.
//
// Open options: kCommandConnection (0) allows Send only; kPacketConnection (4) allows Request
// and Reply only. A call of the other kind fails with RADIOLINK_E_WRONG_CONNECTION.
// Open opens the port the user mapped the asked name to, if any, and starts the link log when
// the user has switched it on (user_settings.h); both are read at every Open.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "component/link/byte_port.h"
#include "component/link/exchange.h"
#include "component/settings/frame_log.h"
#include "contract/link_contract.h"

namespace radiolink {

class LinkCore {
public:
    // `packetConnections`: whether Open accepts kPacketConnection (PacketLink) or only
    // kCommandConnection (CommandLink).
    LinkCore(bool packetConnections, PortOpener& opener, Clock& clock);

    HRESULT Open(const char* port, int32_t option);
    HRESULT Close();
    HRESULT Send(TransferBuffer* buffer);
    HRESULT Request(const char* name, TransferBuffer* payload, uint32_t* address);
    HRESULT Reply(int32_t flags, TransferBuffer* reply, uint32_t* address);

private:
    enum class Connection { Command, Packet };

    HRESULT CheckOpen(Connection needed) const;
    HRESULT AwaitReply(TransferBuffer* reply);

    const bool m_packetConnections;
    PortOpener& m_opener;
    Clock& m_clock;
    std::unique_ptr<BytePort> m_port;
    FrameLog m_log;
    Connection m_connection = Connection::Command;
    // The request sent by Request, waiting for Reply.
    std::optional<Exchange> m_pending;
};

} // namespace radiolink
