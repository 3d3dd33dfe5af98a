// A stand-in for the radio link component: CommandLink and PacketLink class objects registered in
// this process, serving the worked radio's memory and logging every call into the test's log.
// The program holds one instance at a time; this object is that instance.
#pragma once

#include "radio/radio_link.h"

#include <initializer_list>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

using namespace radio; // the test reads as the program's own code

// Each interface logs its own Release.
template <class Interface>
struct LoggedRelease : Interface {
    ULONG STDMETHODCALLTYPE Release() override {
        return Drop(std::is_same_v<Interface, IRadioLink> ? "Release IRadioLink"
                                                          : "Release IPacketTransfer");
    }
    virtual ULONG Drop(const char* entry) = 0;
};

class FakeRadio final : public LoggedRelease<IRadioLink>, public LoggedRelease<IPacketTransfer> {
public:
    FakeRadio(std::vector<std::string>& log, std::string fail = "") : log(log) {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        s_log = &log;
        for (int i = 0; i < 2; ++i) {
            CoRegisterClassObject(i ? CLSID_PacketLink : CLSID_CommandLink, &m_factories[i],
                                  CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_cookies[i]);
        }
        Restart(std::move(fail));
        // The worked radio: index block at 288, pot vector at 160, squelch record at 576 with
        // N = 30 and squelch byte 9A (value 10). Record bytes 2, 3, 31, 33, 34, 40, 62 and 63
        // tell which of them a checksum covers.
        auto put = [this](uint32_t at, std::initializer_list<BYTE> bytes) {
            for (BYTE b : bytes) {
                memory[at++] = b;
            }
        };
        put(2, {0x01, 0x20});
        put(39, {0x00, 0xA0});
        put(288 + 52, {0x02, 0x40});
        put(576, {0x1E, 0x7E, 0xAA, 0xBB, 0x01});
        put(576 + 22, {0x9A});
        put(576 + 31, {0x44, 0x00, 0xFF, 0xC0});
        put(576 + 40, {0x5A});
        put(576 + 62, {0x21, 0x77});
        put(160, {1, 2, 3, 4, 5, 6, 7, 0x80, 9, 10, 11, 12, 13, 0x7E, 0xEE});
    }
    ~FakeRadio() {
        SetTransferAreaAllocator(nullptr);
        for (DWORD cookie : m_cookies) {
            CoRevokeClassObject(cookie);
        }
        CoUninitialize();
    }

    // Empties the log and counts calls from 1 again. `fail` lists the calls that fail, counted
    // over both classes ("Create#3 Open#2", "Send#1", "QueryInterface#1", "Reply#6", ...), and
    // NoMemory makes every transfer area allocation fail.
    void Restart(std::string fail) {
        log.clear();
        m_calls.clear();
        m_fail = " " + fail + " ";
        SetTransferAreaAllocator(m_fail.find(" NoMemory ") != std::string::npos ? NoArea : nullptr);
    }
    static void RecordWait(DWORD ms) { s_log->push_back("Wait " + std::to_string(ms)); }

    std::vector<std::string>& log;
    std::map<uint32_t, BYTE> memory;

    // The instance.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out =
            iid == IID_IUnknown || iid == IID_IRadioLink ? static_cast<IRadioLink*>(this) : nullptr;
        if (iid == IID_IPacketTransfer && m_packet &&
            SUCCEEDED(Step("QueryInterface IPacketTransfer"))) {
            *out = static_cast<IPacketTransfer*>(this);
        }
        return *out ? (++m_refs, S_OK) : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG Drop(const char* entry) override {
        log.push_back(entry);
        return --m_refs;
    }
    HRESULT STDMETHODCALLTYPE Open(const char* port, int32_t option) override {
        return Step("Open " + std::string(port) + " " + std::to_string(option));
    }
    HRESULT STDMETHODCALLTYPE Close() override { return Step("Close"); }
    HRESULT STDMETHODCALLTYPE Send(TransferBuffer* buffer) override { return Step("Send", buffer); }
    HRESULT STDMETHODCALLTYPE Request(const char* name, TransferBuffer* payload,
                                      uint32_t* address) override {
        m_read = std::string(name) == kReadRequest;
        return Step("Request " + std::string(name) + " @" + std::to_string(*address), payload);
    }
    HRESULT STDMETHODCALLTYPE Reply(int32_t flags, TransferBuffer* reply,
                                    uint32_t* address) override {
        reply->count = m_read ? 32 : 0;
        for (int32_t i = 0; i < reply->count; ++i) {
            reply->data[i] = memory[*address + i];
        }
        return Step("Reply " + std::to_string(flags) + " @" + std::to_string(*address));
    }

private:
    static BYTE* NoArea() { return nullptr; }
    // Logs the call with the bytes it carries; E_FAIL when it is one of those that fail.
    HRESULT Step(std::string entry, const TransferBuffer* bytes = nullptr) {
        const std::string kind = entry.substr(0, entry.find(' '));
        const std::string call = " " + kind + "#" + std::to_string(++m_calls[kind]) + " ";
        for (int32_t i = 0; bytes && i < bytes->count; ++i) {
            entry += {' ', "0123456789ABCDEF"[bytes->data[i] >> 4],
                      "0123456789ABCDEF"[bytes->data[i] & 15]};
        }
        log.push_back(entry);
        return m_fail.find(call) != std::string::npos ? E_FAIL : S_OK;
    }

    // The registration holds one reference: a release back to that one is the program letting
    // the class object go.
    struct Factory : IClassFactory {
        Factory(FakeRadio& radio, bool packet) : radio(radio), packet(packet) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
            *out = iid == IID_IUnknown || iid == IID_IClassFactory ? this : nullptr;
            return *out ? (AddRef(), S_OK) : E_NOINTERFACE;
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
        ULONG STDMETHODCALLTYPE Release() override {
            if (--refs == 1) {
                radio.log.push_back("Release class object");
            }
            return refs;
        }
        // A failed creation hands out an instance all the same, as a careless component might.
        HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void** out) override {
            radio.m_packet = packet;
            radio.m_refs = 1;
            *out = static_cast<IRadioLink*>(&radio);
            return radio.Step(packet ? "Create PacketLink" : "Create CommandLink");
        }
        HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

        FakeRadio& radio;
        const bool packet;
        ULONG refs = 0;
    };

    Factory m_factories[2] = {{*this, false}, {*this, true}};
    DWORD m_cookies[2] = {};
    std::string m_fail;
    std::map<std::string, int> m_calls;
    ULONG m_refs = 0;
    bool m_packet = false;
    bool m_read = false;
    inline static std::vector<std::string>* s_log = nullptr;
};
