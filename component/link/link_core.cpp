#include "component/link/link_core.h"

#include <cstring>
#include <utility>

#include "component/link/link_errors.h"
#include "component/settings/user_settings.h"
#include "protocol/messages.h"

namespace radiolink {

namespace {

// A buffer carrying 1 to 64 bytes that fit inside its own capacity.
bool IsFilledBuffer(const TransferBuffer* buffer) {
    return buffer && buffer->data && buffer->count >= 1 && buffer->count <= buffer->capacity &&
           static_cast<size_t>(buffer->count) <= proto::kMaxPayload;
}

} // namespace

LinkCore::LinkCore(bool packetConnections, PortOpener& opener, Clock& clock)
    : m_packetConnections(packetConnections), m_opener(opener), m_clock(clock) {}

HRESULT LinkCore::Open(const char* port, int32_t option) {
    if (!port || !*port) {
        return E_INVALIDARG;
    }
    Connection connection;
    if (option == kCommandConnection) {
        connection = Connection::Command;
    } else if (option == kPacketConnection && m_packetConnections) {
        connection = Connection::Packet;
    } else {
        return E_INVALIDARG;
    }
    if (m_port) {
        return RADIOLINK_E_ALREADY_OPEN;
    }
    PortName mapping;
    const char* mapped = MappedPort(port, mapping);
    m_log.Open();
    std::unique_ptr<BytePort> opened;
    const HRESULT hr = m_opener.Open(mapped, opened);
    const bool same = mapped == port;
    char line[112];
    wsprintfA(line, SUCCEEDED(hr) ? "open %.32s%s%s: ok" : "open %.32s%s%s: error 0x%08lX", port,
              same ? "" : " as ", same ? "" : mapped, hr);
    m_log.Line(line);
    if (FAILED(hr)) {
        m_log.Close();
        return hr;
    }
    if (!opened) {
        return E_FAIL;
    }
    m_port = std::move(opened);
    m_connection = connection;
    return S_OK;
}

HRESULT LinkCore::Close() {
    m_pending.reset();
    m_log.Close();
    if (!m_port) {
        return S_FALSE;
    }
    m_port.reset();
    return S_OK;
}

HRESULT LinkCore::CheckOpen(Connection needed) const {
    if (!m_port) {
        return RADIOLINK_E_NOT_OPEN;
    }
    return m_connection == needed ? S_OK : RADIOLINK_E_WRONG_CONNECTION;
}

HRESULT LinkCore::Send(TransferBuffer* buffer) {
    HRESULT hr = CheckOpen(Connection::Command);
    if (FAILED(hr)) {
        return hr;
    }
    proto::Frame command;
    if (!IsFilledBuffer(buffer) ||
        !proto::MakeCommandFrame(NextSequence(), buffer->data, buffer->count, command)) {
        return E_INVALIDARG;
    }
    Exchange exchange(command, m_log);
    hr = exchange.Start(*m_port);
    if (FAILED(hr)) {
        return hr;
    }
    proto::Frame answer;
    return exchange.Finish(*m_port, m_clock, answer);
}

HRESULT LinkCore::Request(const char* name, TransferBuffer* payload, uint32_t* address) {
    HRESULT hr = CheckOpen(Connection::Packet);
    if (FAILED(hr)) {
        return hr;
    }
    if (m_pending) {
        return RADIOLINK_E_REQUEST_PENDING;
    }
    if (!name || !address || !IsFilledBuffer(payload)) {
        return E_INVALIDARG;
    }
    proto::Frame request;
    bool made = false;
    if (std::strcmp(name, kReadRequest) == 0) {
        made = proto::MakeReadFrame(NextSequence(), *address, payload->data[0], request);
    } else if (std::strcmp(name, kWriteRequest) == 0) {
        made =
            proto::MakeWriteFrame(NextSequence(), *address, payload->data, payload->count, request);
    }
    if (!made) {
        return E_INVALIDARG;
    }
    Exchange exchange(request, m_log);
    hr = exchange.Start(*m_port);
    if (FAILED(hr)) {
        return hr;
    }
    m_pending.emplace(exchange);
    return S_OK;
}

HRESULT LinkCore::Reply(int32_t flags, TransferBuffer* reply, uint32_t* address) {
    HRESULT hr = CheckOpen(Connection::Packet);
    if (FAILED(hr)) {
        return hr;
    }
    if (!m_pending) {
        return RADIOLINK_E_NO_REQUEST;
    }
    hr = flags == 0 && address ? AwaitReply(reply) : E_INVALIDARG;
    m_pending.reset();
    return hr;
}

HRESULT LinkCore::AwaitReply(TransferBuffer* reply) {
    const proto::Frame& request = m_pending->Request();
    const bool isRead = request.type == proto::FrameType::Read;
    if (!reply || !reply->data || (isRead && reply->capacity < request.payload[0])) {
        return E_INVALIDARG;
    }
    proto::Frame answer;
    const HRESULT hr = m_pending->Finish(*m_port, m_clock, answer);
    if (FAILED(hr)) {
        return hr;
    }
    if (isRead) {
        std::memcpy(reply->data, answer.payload, answer.length);
        reply->count = answer.length;
        return S_OK;
    }
    uint8_t countStored = 0;
    uint32_t storedCrc = 0;
    if (!proto::ParseWriteAck(answer, countStored, storedCrc) || countStored != request.length ||
        storedCrc != proto::WriteCrc(request)) {
        return RADIOLINK_E_WRITE_NOT_CONFIRMED;
    }
    reply->count = 0;
    return S_OK;
}

} // namespace radiolink
