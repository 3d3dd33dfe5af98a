#include "tests/radio/fake_radio_link.h"

#include <cstdio>

std::string HexBytes(const BYTE* bytes, size_t count) {
    std::string text;
    char hex[4];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(hex, sizeof hex, i ? " %02X" : "%02X", bytes[i]);
        text += hex;
    }
    return text;
}

namespace {

class FakeTransfer;

class FakeLink : public IRadioLink {
public:
    FakeLink(FakeRadio& radio, bool packet) : m_radio(radio), m_packet(packet) {
        ++m_radio.m_liveObjects;
    }
    virtual ~FakeLink() { --m_radio.m_liveObjects; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        m_radio.Log("Release IRadioLink");
        return InternalRelease();
    }
    ULONG InternalRelease() {
        const ULONG refs = --m_refs;
        if (refs == 0) {
            delete this;
        }
        return refs;
    }

    HRESULT STDMETHODCALLTYPE Open(const char* port, int32_t option) override {
        m_radio.Log("Open " + std::string(port ? port : "(null)") + " " + std::to_string(option));
        return m_radio.NextResult(m_radio.Config().openResults, m_radio.m_opens);
    }
    HRESULT STDMETHODCALLTYPE Close() override {
        m_radio.Log("Close");
        return m_radio.NextResult(m_radio.Config().closeResults, m_radio.m_closes);
    }
    HRESULT STDMETHODCALLTYPE Send(TransferBuffer* buffer) override {
        m_radio.Log("Send " + std::to_string(buffer->count) + " [" +
                    HexBytes(buffer->data, static_cast<size_t>(buffer->count)) + "]");
        return m_radio.NextResult(m_radio.Config().sendResults, m_radio.m_sends);
    }

    FakeRadio& m_radio;
    const bool m_packet;
    ULONG m_refs = 1;
    uint32_t* m_requestAddress = nullptr;
    bool m_pendingRead = false;
};

class FakeTransfer : public IPacketTransfer {
public:
    explicit FakeTransfer(FakeLink* link) : m_link(link) {
        m_link->AddRef();
        ++m_link->m_radio.m_liveObjects;
    }
    virtual ~FakeTransfer() {
        --m_link->m_radio.m_liveObjects;
        m_link->InternalRelease();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        return m_link->QueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        m_link->m_radio.Log("Release IPacketTransfer");
        const ULONG refs = --m_refs;
        if (refs == 0) {
            delete this;
        }
        return refs;
    }

    HRESULT STDMETHODCALLTYPE Request(const char* name, TransferBuffer* payload,
                                      uint32_t* address) override {
        FakeRadio& radio = m_link->m_radio;
        const std::string request = name ? name : "(null)";
        radio.Log("Request " + request + " @" + std::to_string(*address) + " [" +
                  HexBytes(payload->data, static_cast<size_t>(payload->count)) + "]");
        if (radio.m_requests++ == radio.Config().failRequestAt) {
            return radio.Config().transferFailure;
        }
        m_link->m_requestAddress = address;
        m_link->m_pendingRead = request == kReadRequest;
        if (request == kWriteRequest) {
            radio.Store(*address, payload->data, payload->count);
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Reply(int32_t flags, TransferBuffer* reply,
                                    uint32_t* address) override {
        FakeRadio& radio = m_link->m_radio;
        radio.Log("Reply " + std::to_string(flags) + " @" + std::to_string(*address) +
                  (address == m_link->m_requestAddress ? "" : " (another address variable)"));
        if (radio.m_replies++ == radio.Config().failReplyAt) {
            return radio.Config().transferFailure;
        }
        if (m_link->m_pendingRead) {
            for (uint32_t i = 0; i < 32; ++i) {
                reply->data[i] = radio.Peek(*address + i);
            }
            reply->count = 32;
        } else {
            reply->count = 0;
        }
        return S_OK;
    }

private:
    FakeLink* m_link;
    ULONG m_refs = 1;
};

HRESULT FakeLink::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IRadioLink) {
        AddRef();
        *out = static_cast<IRadioLink*>(this);
        return S_OK;
    }
    if (iid == IID_IPacketTransfer) {
        m_radio.Log("QueryInterface IPacketTransfer");
        if (m_packet && m_radio.Config().givePacketTransfer) {
            *out = static_cast<IPacketTransfer*>(new FakeTransfer(this));
            return S_OK;
        }
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

} // namespace

class FakeRadio::Factory : public IClassFactory {
public:
    Factory(FakeRadio& radio, bool packet) : m_radio(radio), m_packet(packet) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // Owned by FakeRadio, which revokes it before it goes.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        m_radio.Log(std::string(m_packet ? "PacketLink" : "CommandLink") + ".CreateInstance" +
                    (iid == IID_IRadioLink ? "" : " (not asked for IRadioLink)"));
        *out = nullptr;
        if (outer) {
            return CLASS_E_NOAGGREGATION;
        }
        const HRESULT created =
            m_radio.NextResult(m_radio.Config().createResults, m_radio.m_creates);
        if (FAILED(created)) {
            return created;
        }
        auto* link = new FakeLink(m_radio, m_packet);
        const HRESULT hr = link->QueryInterface(iid, out);
        link->InternalRelease();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    FakeRadio& m_radio;
    const bool m_packet;
};

FakeRadio::FakeRadio(CallLog& log, FakeRadioConfig config) : m_log(log), m_config(config) {
    auto registerClass = [&](const CLSID& clsid, bool packet) {
        m_factories.push_back(std::make_unique<Factory>(*this, packet));
        DWORD cookie = 0;
        if (SUCCEEDED(CoRegisterClassObject(clsid, m_factories.back().get(), CLSCTX_INPROC_SERVER,
                                            REGCLS_MULTIPLEUSE, &cookie))) {
            m_cookies.push_back(cookie);
        }
    };
    if (m_config.registerCommandLink) {
        registerClass(CLSID_CommandLink, false);
    }
    if (m_config.registerPacketLink) {
        registerClass(CLSID_PacketLink, true);
    }
}

FakeRadio::~FakeRadio() {
    for (DWORD cookie : m_cookies) {
        CoRevokeClassObject(cookie);
    }
}

void FakeRadio::Poke(uint32_t address, std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) {
        m_memory[address++] = b;
    }
}

uint8_t FakeRadio::Peek(uint32_t address) const {
    const auto it = m_memory.find(address);
    return it == m_memory.end() ? 0 : it->second;
}

void FakeRadio::Store(uint32_t address, const BYTE* bytes, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        m_memory[address + static_cast<uint32_t>(i)] = bytes[i];
    }
}
