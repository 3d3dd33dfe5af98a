// CommandLink: an IRadioLink that opens command connections only (option 0) and sends
// commands with Send. It has no IPacketTransfer.
#pragma once

#include "component/link_core.h"
#include "component/module_count.h"
#include "radio/radio_link.h"

class CommandLink final : public IRadioLink {
public:
    CommandLink(PortOpener openPort, Clock& clock);
    CommandLink(const CommandLink&) = delete;
    CommandLink& operator=(const CommandLink&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE Open(const char* port, int32_t option) override;
    HRESULT STDMETHODCALLTYPE Close() override;
    HRESULT STDMETHODCALLTYPE Send(TransferBuffer* buffer) override;

private:
    // The core's destructor closes a port left open.
    ~CommandLink() = default;

    LONG m_references = 1;
    LiveObject m_live;
    LinkCore m_core;
};

// A CommandLink on the serial port, asked for iid.
HRESULT NewCommandLink(REFIID iid, void** object);
// A CommandLink on the given port opener and clock (the unit tests' fake line).
HRESULT NewCommandLink(PortOpener openPort, Clock& clock, REFIID iid, void** object);
