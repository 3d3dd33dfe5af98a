// The one COM object behind both link classes. A PacketLink gives IRadioLink and
// IPacketTransfer and opens with option 0 (commands) or 4 (memory requests); a CommandLink
// gives IRadioLink only and opens with option 0. What the calls do is LinkCore's.
#pragma once

#include <windows.h>

#include "component/link/link_core.h"
#include "component/link/ref_count.h"
#include "contract/link_contract.h"

namespace radiolink {

enum class LinkClass { Packet, Command };

class LinkObject final : public IRadioLink, public IPacketTransfer {
public:
    LinkObject(LinkClass linkClass, PortOpener& opener, Clock& clock);
    LinkObject(const LinkObject&) = delete;
    LinkObject& operator=(const LinkObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return m_references.Add(); }
    ULONG STDMETHODCALLTYPE Release() override { return m_references.Drop(this); }

    HRESULT STDMETHODCALLTYPE Open(const char* port, int32_t option) override;
    HRESULT STDMETHODCALLTYPE Close() override;
    HRESULT STDMETHODCALLTYPE Send(TransferBuffer* buffer) override;

    HRESULT STDMETHODCALLTYPE Request(const char* name, TransferBuffer* payload,
                                      uint32_t* address) override;
    HRESULT STDMETHODCALLTYPE Reply(int32_t flags, TransferBuffer* reply,
                                    uint32_t* address) override;

private:
    friend class RefCount;
    // The core's destructor closes a port left open.
    ~LinkObject() = default;

    const LinkClass m_class;
    RefCount m_references;
    LinkCore m_core;
};

// A new link of `linkClass` on the serial port, asked for iid.
HRESULT NewLink(LinkClass linkClass, REFIID iid, void** object);
// The same on the given port opener and clock (the unit tests' fake line).
HRESULT NewLink(LinkClass linkClass, PortOpener& opener, Clock& clock, REFIID iid, void** object);

} // namespace radiolink
