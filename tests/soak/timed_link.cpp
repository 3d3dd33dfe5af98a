#include "tests/soak/timed_link.h"

#include <algorithm>

void ExchangeClock::ExchangeFailed(ULONGLONG startMs) {
    const ULONGLONG now = GetTickCount64();
    std::lock_guard<std::mutex> guard(m_lock);
    ++m_failed;
    m_longestExchange = std::max(m_longestExchange, now - startMs);
    m_pendingStart = startMs;
}

void ExchangeClock::MessageShown() {
    const ULONGLONG now = GetTickCount64();
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_pendingStart != 0) {
        m_longestToMessage = std::max(m_longestToMessage, now - m_pendingStart);
        m_pendingStart = 0;
    }
}

void ExchangeClock::ForgetPending() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_pendingStart = 0;
}

ULONGLONG ExchangeClock::LongestFailedExchangeMs() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_longestExchange;
}

ULONGLONG ExchangeClock::LongestFailureToMessageMs() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_longestToMessage;
}

unsigned ExchangeClock::FailedExchanges() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_failed;
}

namespace {

// One instance of the DLL, seen through both interfaces; every call goes straight through.
class TimedLink : public IRadioLink, public IPacketTransfer {
public:
    TimedLink(IRadioLink* inner, ExchangeClock& clock) : m_inner(inner), m_clock(clock) {}
    virtual ~TimedLink() {
        m_innerTransfer.Reset();
        m_inner->Release();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) {
            return E_POINTER;
        }
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IRadioLink) {
            *out = static_cast<IRadioLink*>(this);
        } else if (iid == IID_IPacketTransfer) {
            if (!m_innerTransfer) {
                const HRESULT hr =
                    m_inner->QueryInterface(IID_IPacketTransfer, m_innerTransfer.PutVoid());
                if (FAILED(hr)) {
                    return hr;
                }
            }
            *out = static_cast<IPacketTransfer*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&m_refs); }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG refs = InterlockedDecrement(&m_refs);
        if (refs == 0) {
            delete this;
        }
        return refs;
    }

    HRESULT STDMETHODCALLTYPE Open(const char* port, int32_t option) override {
        return Timed(GetTickCount64(), m_inner->Open(port, option));
    }
    HRESULT STDMETHODCALLTYPE Close() override { return m_inner->Close(); }
    HRESULT STDMETHODCALLTYPE Send(TransferBuffer* buffer) override {
        return Timed(GetTickCount64(), m_inner->Send(buffer));
    }
    HRESULT STDMETHODCALLTYPE Request(const char* name, TransferBuffer* payload,
                                      uint32_t* address) override {
        m_requestStart = GetTickCount64();
        return Timed(m_requestStart, m_innerTransfer->Request(name, payload, address));
    }
    HRESULT STDMETHODCALLTYPE Reply(int32_t flags, TransferBuffer* reply,
                                    uint32_t* address) override {
        return Timed(m_requestStart, m_innerTransfer->Reply(flags, reply, address));
    }

private:
    HRESULT Timed(ULONGLONG startMs, HRESULT hr) {
        if (FAILED(hr)) {
            m_clock.ExchangeFailed(startMs);
        }
        return hr;
    }

    IRadioLink* m_inner;
    ComPtr<IPacketTransfer> m_innerTransfer;
    ExchangeClock& m_clock;
    ULONGLONG m_requestStart = 0;
    LONG m_refs = 1;
};

class TimedFactory : public IClassFactory {
public:
    TimedFactory(IClassFactory* inner, ExchangeClock& clock) : m_inner(inner), m_clock(clock) {
        m_inner->AddRef();
    }
    virtual ~TimedFactory() { m_inner->Release(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) {
            return E_POINTER;
        }
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&m_refs); }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG refs = InterlockedDecrement(&m_refs);
        if (refs == 0) {
            delete this;
        }
        return refs;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) {
            return E_POINTER;
        }
        *out = nullptr;
        IRadioLink* inner = nullptr;
        const HRESULT hr =
            m_inner->CreateInstance(outer, IID_IRadioLink, reinterpret_cast<void**>(&inner));
        if (FAILED(hr)) {
            return hr;
        }
        TimedLink* link = new TimedLink(inner, m_clock);
        const HRESULT asked = link->QueryInterface(iid, out);
        link->Release();
        return asked;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override { return m_inner->LockServer(lock); }

private:
    IClassFactory* m_inner;
    ExchangeClock& m_clock;
    LONG m_refs = 1;
};

} // namespace

TimedLinkRegistration::TimedLinkRegistration(IClassFactory* packetFactory,
                                             IClassFactory* commandFactory, ExchangeClock& clock) {
    const CLSID* classes[2] = {&CLSID_PacketLink, &CLSID_CommandLink};
    IClassFactory* inner[2] = {packetFactory, commandFactory};
    for (int i = 0; i < 2 && SUCCEEDED(m_result); ++i) {
        m_factories[i] = new TimedFactory(inner[i], clock);
        m_result = CoRegisterClassObject(*classes[i], m_factories[i], CLSCTX_INPROC_SERVER,
                                         REGCLS_MULTIPLEUSE, &m_cookies[i]);
    }
}

TimedLinkRegistration::~TimedLinkRegistration() {
    for (int i = 0; i < 2; ++i) {
        if (m_cookies[i]) {
            CoRevokeClassObject(m_cookies[i]);
        }
        if (m_factories[i]) {
            m_factories[i]->Release();
        }
    }
}
