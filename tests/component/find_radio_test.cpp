// Find radio: how one probe's answer is judged, on the scripted line with its fake clock; the
// search of many ports at once, on fake ports in real time and on real threads; what the dialog
// says when it is over.
#include <gtest/gtest.h>

#include <cstring>
#include <iostream>

#include "component/port_program/find_radio.h"
#include "tests/component/fake_line.h"
#include "tests/component/scratch_user.h"

namespace {

using A = Answer;
constexpr volatile LONG kGoOn = 0;

TEST(Probe, OnlyACrcGoodNakEchoingTheProbeIsARadio) {
    const struct {
        std::vector<A> script; // what the line does with each send of the probe
        Finding finding;
        size_t sends;
        uint64_t ms; // fake time spent, to less than 20 ms more
    } cases[] = {
        {{A::Nak}, Finding::Radio, 1, 0},
        {{A::OtherNak, A::OtherNak}, Finding::NoAnswer, 2, 830},
        {{A::Noise, A::Noise}, Finding::NoAnswer, 2, 830},
        {{A::DamagedNak, A::DamagedNak}, Finding::NoAnswer, 2, 830},
        {{A::Echo, A::Echo}, Finding::NoAnswer, 2, 830},   // a loopback plug, a modem echoing
        {{A::Right, A::Right}, Finding::NoAnswer, 2, 830}, // data from past the end of memory
        {{A::Silence, A::Nak}, Finding::Radio, 2, 415},    // the answer lost on the line
        {{A::DamagedNak, A::Nak}, Finding::Radio, 2, 415},
        {{A::Silence, A::Silence}, Finding::NoAnswer, 2, 830},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        FakeLink fake(true);
        fake.script.assign(c.script.begin(), c.script.end());
        SearchLog log;
        const ProbeOutcome outcome = ProbePort("COM7", fake, fake, log, kGoOn);
        EXPECT_EQ(c.finding, outcome.finding) << i;
        EXPECT_EQ("COM7", fake.openedName) << i;
        EXPECT_EQ(0, fake.openPorts) << i << ": closed";
        EXPECT_TRUE(fake.now >= c.ms && fake.now < c.ms + 20) << i << ": " << fake.now;
        ASSERT_EQ(c.sends, fake.sent.size()) << i;
        // A Read of one byte at 0xFFFFFFFF, the same frame each time.
        EXPECT_EQ(std::vector<Bytes>(c.sends, fake.sent[0]), fake.sent) << i;
        const proto::Frame probe = fake.Sent();
        EXPECT_EQ(
            std::make_tuple(proto::FrameType::Read, 0xFFFFFFFFu, 1, 1),
            std::make_tuple(probe.type, probe.address, int(probe.length), int(probe.payload[0])))
            << i;
    }
}

// Each line of a probe in the link log names its port (here a Nak of the wrong sequence number,
// then the radio's).
TEST(Probe, WritesItsLinesToTheLinkLog) {
    ScratchUser user;
    SetLinkLog(true);
    FakeLink probed(true);
    probed.script = {Answer::OtherNak, Answer::Nak};
    const volatile LONG goOn = 0;
    SearchLog searchLog;
    ProbePort("COM3", probed, probed, searchLog, goOn);
    const unsigned p = probed.Sent().sequence;
    char expected[512];
    sprintf(expected,
            "open COM3 to find the radio: ok\r\n"
            "sent     seq %02X Read       len  1 COM3: probe\r\n"
            "received seq %02X Nak        len  1 COM3: not the probe's answer\r\n"
            "sent     seq %02X Read       len  1 COM3: probe again: no answer in time\r\n"
            "received seq %02X Nak        len  1 COM3: a radio's answer\r\n"
            "find radio on COM3: a radio answered\r\n",
            p, (p + 1) & 0xFF, p, p);
    EXPECT_EQ(expected, LogLines());
}

// Ports by name: RADIO refuses the probe as a radio does, QUIET hears nothing, STUCK does not
// return from a read until `release` is set, BUSY is in use, GONE is not there.
struct FakePorts : PortOpener {
    struct Port : BytePort {
        Port(FakePorts& f, const char* name) : f(f), name(name) { InterlockedIncrement(&f.open); }
        ~Port() override { InterlockedDecrement(&f.open); }
        HRESULT Write(const uint8_t* bytes, size_t count) override {
            proto::Frame probe;
            proto::DecodeFrame(bytes, count - 1, probe);
            answer.resize(proto::kMaxEncodedFrame);
            answer.resize(name == "RADIO"
                              ? proto::EncodeFrame(
                                    proto::MakeNak(probe, proto::NakReason::NotInProgrammingMode),
                                    answer.data(), answer.size())
                              : 0);
            return S_OK;
        }
        HRESULT Read(uint8_t* out, size_t, size_t& received, uint32_t waitMs) override {
            if (name == "STUCK") {
                WaitForSingleObject(f.release, INFINITE);
            }
            received = answer.size();
            std::copy(answer.begin(), answer.end(), out);
            answer.clear();
            Sleep(received ? 1 : waitMs);
            return S_OK;
        }
        void DiscardInput() override {}
        FakePorts& f;
        const std::string name;
        Bytes answer;
    };
    HRESULT Open(const char* name, std::unique_ptr<BytePort>& port) override {
        if (!std::strcmp(name, "BUSY") || !std::strcmp(name, "GONE")) {
            return HRESULT_FROM_WIN32(*name == 'B' ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND);
        }
        port = std::make_unique<Port>(*this, name);
        return S_OK;
    }
    ~FakePorts() { // a stuck probe still uses this
        SetEvent(release);
        for (int i = 0; i < 100 && open; ++i) {
            Sleep(10);
        }
        CloseHandle(release);
    }
    volatile LONG open = 0;
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
};

// Searches `ports` until it is over; the milliseconds it took and "finding finding ...".
uint64_t Search(PortSearch& search, std::vector<const char*> ports, std::string& findings) {
    const uint64_t start = GetTickCount64();
    search.Start(ports.data(), ports.size());
    while (search.Running() && GetTickCount64() - start < 5000) {
        Sleep(5);
    }
    const uint64_t took = GetTickCount64() - start;
    for (size_t i = 0; i < ports.size(); ++i) {
        ProbeOutcome outcome;
        findings += search.Outcome(i, outcome) ? "RNUO"[static_cast<int>(outcome.finding)] : '?';
    }
    return took;
}

TEST(PortSearch, ProbesEveryPortAtOnceAndClosesThemWhateverTheyDo) {
    FakePorts fakes;
    PortSearch search(fakes);
    std::string found;
    const uint64_t one = Search(search, {"QUIET"}, found);
    const uint64_t ten = Search(
        search,
        {"QUIET", "BUSY", "QUIET", "RADIO", "QUIET", "GONE", "QUIET", "QUIET", "RADIO", "QUIET"},
        found);
    std::cout << "[ MEASURED ] search of 1 silent port " << one << " ms, of 10 ports " << ten
              << " ms\n";
    EXPECT_EQ("N" /* the one */ "NUNRNONNRN", found);
    ASSERT_LT(ten, 2000u) << "a bound far above the 830 ms of one probe, as the issue asks";
    EXPECT_EQ(0, fakes.open) << "every port closed when its outcome is known";

    // A driver that never returns holds up neither the search nor Stop.
    found.clear();
    const uint64_t stuck = Search(search, {"RADIO", "STUCK"}, found);
    EXPECT_EQ("R?", found);
    // Bounds far above the figures (1.5 s, at most 0.5 s), far below what a fault gives (5 s).
    EXPECT_TRUE(stuck >= kSearchLimitMs && stuck < kSearchLimitMs + 2000) << stuck;
    search.Start(std::vector<const char*>{"QUIET", "STUCK", "QUIET"}.data(), 3);
    Sleep(100);
    const uint64_t stop = GetTickCount64();
    search.Stop();
    EXPECT_LT(GetTickCount64() - stop, kStopWaitMs + 2000);
    EXPECT_EQ(2, fakes.open) << "only the two stuck ports, this search's and the last one's";
}

// Where no radio answered, the adapters with no working port come first; a Bluetooth link is not
// among the ports asked.
TEST(FindRadio, SaysWhatWasFoundOrWhatToCheck) {
    PortChoices choices{};
    const auto add = [&](const char* port, ChoiceKind kind, const wchar_t* adapter, DWORD code) {
        PortChoice& choice = choices.at[choices.count++];
        lstrcpyA(choice.port, port);
        choice.kind = kind;
        lstrcpyW(choice.adapter, adapter);
        choice.problem = code;
    };
    add("", ChoiceKind::Port, L"", 0);
    add("COM3", ChoiceKind::Port, L"", 0);
    add("COM12", ChoiceKind::Port, L"", 0);
    add("COM9", ChoiceKind::Bluetooth, L"", 0);
    add("COM7", ChoiceKind::Stopped, L"Prolific adapter", 10);
    add("", ChoiceKind::Stopped, L"USB2.0-Serial", 28);
    const ProbeOutcome no{}, radio{Finding::Radio}, busy{Finding::InUse}, skip{Finding::NotAsked};
    const std::wstring none = L"No radio answered on COM1, COM3 or COM12. Check that the radio is "
                              L"switched on and its cable is plugged in, then press Find radio "
                              L"again.";
    const struct {
        size_t entries; // the first ones of `choices`
        std::vector<ProbeOutcome> outcomes;
        std::wstring said;
    } cases[] = {
        {4, {no, busy, no, skip}, none},
        {6,
         {no, busy, no, skip, skip, skip},
         L"No working port: Prolific adapter on COM7 (code 10), USB2.0-Serial (code 28); see "
         L"their entries. " +
             none},
        {6,
         {radio, no, radio, skip, skip, skip},
         L"Radios answered on COM1 and COM12. COM1 is selected: press OK to use it."},
    };
    for (const auto& c : cases) {
        choices.count = c.entries;
        wchar_t summary[kMaxSummary];
        SearchSummary(choices, c.outcomes.data(), summary);
        EXPECT_EQ(c.said, summary);
    }
}

} // namespace
