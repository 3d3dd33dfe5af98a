// A fake radio link component for tests: class objects for CommandLink and PacketLink
// registered in-process, serving a sparse radio memory and recording every call in order.
// Any step can be told to fail.
#pragma once

#include "radio/radio_link.h"
#include "tests/radio/call_log.h"

#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct FakeRadioConfig {
    bool registerCommandLink = true;
    bool registerPacketLink = true;
    // The n-th call of each kind (from 0, over both classes) returns results[n]; S_OK after.
    std::vector<HRESULT> createResults;
    std::vector<HRESULT> openResults;
    std::vector<HRESULT> sendResults;
    std::vector<HRESULT> closeResults;
    bool givePacketTransfer = true;
    int failRequestAt = -1; // index of the Request (from 0) that fails
    int failReplyAt = -1;   // index of the Reply (from 0) that fails
    HRESULT transferFailure = E_FAIL;
};

class FakeRadio {
public:
    explicit FakeRadio(CallLog& log, FakeRadioConfig config = {});
    ~FakeRadio();
    FakeRadio(const FakeRadio&) = delete;
    FakeRadio& operator=(const FakeRadio&) = delete;

    FakeRadioConfig& Config() { return m_config; }
    void Poke(uint32_t address, std::initializer_list<uint8_t> bytes);
    uint8_t Peek(uint32_t address) const;
    // Link and transfer objects still alive: 0 when nothing leaked.
    int LiveObjects() const { return m_liveObjects; }

    // Used by the fake objects.
    void Log(std::string entry) { m_log.Add(std::move(entry)); }
    void Store(uint32_t address, const BYTE* bytes, int32_t count);
    int m_liveObjects = 0;
    int m_requests = 0;
    int m_replies = 0;
    HRESULT NextResult(const std::vector<HRESULT>& results, int& calls) {
        const size_t n = static_cast<size_t>(calls++);
        return n < results.size() ? results[n] : S_OK;
    }
    int m_creates = 0, m_opens = 0, m_sends = 0, m_closes = 0;

private:
    class Factory;
    CallLog& m_log;
    FakeRadioConfig m_config;
    std::map<uint32_t, uint8_t> m_memory;
    std::vector<std::unique_ptr<Factory>> m_factories;
    std::vector<DWORD> m_cookies;
};

// "01 02 0A": the bytes as a person reads them in a log.
std::string HexBytes(const BYTE* bytes, size_t count);
