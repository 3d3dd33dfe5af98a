// PacketLink: an IRadioLink and IPacketTransfer. Opened with option 4 it carries memory
// requests (Request, Reply); opened with option 0 it sends commands like a CommandLink.
#pragma once

#include "component/link_core.h"
#include "component/module_count.h"
#include "radio/radio_link.h"

class PacketLink final : public IRadioLink, public IPacketTransfer {
public:
    PacketLink(PortOpener openPort, Clock& clock);
    PacketLink(const PacketLink&) = delete;
    PacketLink& operator=(const PacketLink&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE Open(const char* port, int32_t option) override;
    HRESULT STDMETHODCALLTYPE Close() override;
    HRESULT STDMETHODCALLTYPE Send(TransferBuffer* buffer) override;

    HRESULT STDMETHODCALLTYPE Request(const char* name, TransferBuffer* payload,
                                      uint32_t* address) override;
    HRESULT STDMETHODCALLTYPE Reply(int32_t flags, TransferBuffer* reply,
                                    uint32_t* address) override;

private:
    // The core's destructor closes a port left open.
    ~PacketLink() = default;

    LONG m_references = 1;
    LiveObject m_live;
    LinkCore m_core;
};

// A PacketLink on the serial port, asked for iid.
HRESULT NewPacketLink(REFIID iid, void** object);
// A PacketLink on the given port opener and clock (the unit tests' fake line).
HRESULT NewPacketLink(PortOpener openPort, Clock& clock, REFIID iid, void** object);
