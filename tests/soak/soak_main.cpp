// The soak: Read, change, Write cycles through the program's own read and write (hw_radio)
// over the real radiolink.dll against the simulated radio, with faults on the line drawn from
// a seed. The next cycle's Read is the read-back of the last Write. Run under
// tests/lib/with-radiosim, which starts the radio and exports its control, log and memory
// paths. Prints a table; exits 0 only when no wrong value was shown, no bad block was left
// by a write that reported success, every failure was reported, and nothing hung.
//
//   soak_test [--cycles N] [--seed S]
//   soak_test --hold-prefix        (does nothing until killed; see scripts/soak)
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>

#include "protocol/link_timing.h"
#include "radio/squelch_read.h"
#include "radio/squelch_write.h"
#include "tests/component/radiolink_dll.h"
#include "tests/lib/message_boxes.h"
#include "tests/reliability/process_figures.h"
#include "tests/soak/fault_plan.h"
#include "tests/soak/headless_dialog.h"
#include "tests/soak/radio_state.h"
#include "tests/soak/sim_channel.h"
#include "tests/soak/timed_link.h"

namespace {

// The radio needs no settling time after the programming-mode command, so the soak skips the
// program's one-second wait; everything else runs as in the program.
void NoWait(DWORD) {}

// An operation that has not returned after this long is a hang.
constexpr ULONGLONG kHangMs = 30000;
// The component's documented bound for one exchange, with the margin the component tests
// allow for a loaded machine running Wine.
constexpr ULONGLONG kFailureBoundMs = proto::kExchangeBoundMs;
constexpr ULONGLONG kFailureBoundWithMarginMs = kFailureBoundMs + 1500;

struct Tally {
    unsigned cycles = 0;
    unsigned faultsByKind[kFaultKinds] = {};
    unsigned readsCompleted = 0;
    unsigned readsFailedWithMessage = 0;
    unsigned readsFailedSilently = 0;
    unsigned wrongValues = 0;
    unsigned readBacksDiffering = 0;
    unsigned writesCompleted = 0;
    unsigned writesFailedWithMessage = 0;
    unsigned badBlocks = 0;
    unsigned halfWritten = 0;
    ULONGLONG longestOperationMs = 0;
    std::map<std::string, unsigned> messages; // every message the operator saw, by text
};

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::atomic<ULONGLONG> g_operationStart{0};
std::atomic<unsigned> g_cycle{0};

// Ends the process when an operation hangs: the table could never be printed otherwise.
void WatchForHangs() {
    for (;;) {
        Sleep(500);
        const ULONGLONG start = g_operationStart.load();
        if (start != 0 && GetTickCount64() - start > kHangMs) {
            std::printf("HANG: cycle %u, an operation has not returned after %llu ms\n",
                        g_cycle.load(), static_cast<unsigned long long>(kHangMs));
            std::fflush(stdout);
            TerminateProcess(GetCurrentProcess(), 3);
        }
    }
}

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
    std::printf("CRASH: cycle %u, exception 0x%08lX\n", g_cycle.load(),
                info->ExceptionRecord->ExceptionCode);
    std::fflush(stdout);
    return EXCEPTION_EXECUTE_HANDLER;
}

class Soak {
public:
    Soak(uint32_t seed, MessageBoxWatcher& boxes, ExchangeClock& clock)
        : m_plan(seed), m_boxes(boxes), m_clock(clock),
          m_control(Environment("RADIOSIM_CONTROL_WIN")), m_save(Environment("RADIOSIM_SAVE_WIN")) {
    }

    bool Cycle(unsigned number);
    // A fault-free read at the end: the read-back of the last write.
    bool FinalReadBack();
    Tally& Result() { return m_tally; }

private:
    enum class Outcome { Completed, FailedWithMessage, FailedSilently };

    template <class Operation>
    Outcome Run(Operation operation, const CycleFault& fault, bool cutThis);
    bool Read();
    void Write();
    RadioState Memory() const { return InspectMemory(ReadMemoryFile(m_save)); }
    void Control(const std::string& line) {
        if (!SendControl(m_control, line)) {
            std::printf("cannot write the control line \"%s\"\n", line.c_str());
        }
    }

    FaultPlan m_plan;
    MessageBoxWatcher& m_boxes;
    ExchangeClock& m_clock;
    std::string m_control;
    std::string m_save;
    HeadlessDialog m_dialog;
    Tally m_tally;
    bool m_lastWriteCompleted = false;
    uint32_t m_lastWritten = 0;
};

template <class Operation>
Soak::Outcome Soak::Run(Operation operation, const CycleFault& fault, bool cutThis) {
    m_boxes.Clear();
    m_clock.ForgetPending();
    const ULONGLONG start = GetTickCount64();
    g_operationStart = start;
    std::thread cut;
    if (cutThis) {
        cut = std::thread([this, fault] {
            Sleep(fault.cutAfterMs);
            Control("silent on");
        });
    }
    const bool completed = operation();
    g_operationStart = 0;
    const ULONGLONG took = GetTickCount64() - start;
    if (cut.joinable()) {
        cut.join();
    }
    if (took > m_tally.longestOperationMs) {
        m_tally.longestOperationMs = took;
    }
    for (const std::string& text : m_boxes.Texts()) {
        ++m_tally.messages[text];
    }
    if (completed && m_boxes.Boxes().empty()) {
        return Outcome::Completed;
    }
    return m_boxes.Boxes().empty() ? Outcome::FailedSilently : Outcome::FailedWithMessage;
}

bool Soak::Read() {
    ReadSquelch(m_dialog, NoWait);
    return m_dialog.valueRead != FALSE;
}

void Soak::Write() {
    WriteSquelch(m_dialog);
}

bool Soak::Cycle(unsigned number) {
    g_cycle = number;
    const CycleFault fault = m_plan.Next();
    ++m_tally.faultsByKind[static_cast<int>(fault.kind)];
    switch (fault.kind) {
    case FaultKind::Delay:
        Control("faults delay=0.4 delayms=700");
        break;
    case FaultKind::CorruptIn:
        Control("faults corruptin=0.03");
        break;
    case FaultKind::SilentRead:
        Control("silent on");
        break;
    default:
        break;
    }

    // Read (and read-back of the last cycle's write).
    const Outcome read = Run([this] { return Read(); }, fault, fault.kind == FaultKind::CutRead);
    const RadioState before = Memory();
    if (read == Outcome::Completed) {
        ++m_tally.readsCompleted;
        if (m_dialog.shownValue != before.recordValue) {
            ++m_tally.wrongValues;
            std::printf("cycle %u: read showed %u, the radio holds %u\n", number,
                        m_dialog.shownValue, before.recordValue);
        }
        if (m_lastWriteCompleted && m_dialog.shownValue != m_lastWritten) {
            ++m_tally.readBacksDiffering;
            std::printf("cycle %u: read back %u after writing %u\n", number, m_dialog.shownValue,
                        m_lastWritten);
        }
    } else if (read == Outcome::FailedWithMessage) {
        ++m_tally.readsFailedWithMessage;
    } else {
        ++m_tally.readsFailedSilently;
        std::printf("cycle %u: the read failed without a message\n", number);
    }

    // Change and Write, when the read allows it (the program refuses a write otherwise).
    m_lastWriteCompleted = false;
    if (read == Outcome::Completed) {
        if (fault.kind == FaultKind::SilentWrite) {
            Control("silent on");
        }
        m_dialog.entry = m_plan.NewValue(m_dialog.value);
        const Outcome write = Run(
            [this] {
                Write();
                return true;
            },
            fault, fault.kind == FaultKind::CutWrite);
        const RadioState after = Memory();
        if (write == Outcome::Completed) {
            ++m_tally.writesCompleted;
            m_lastWriteCompleted = true;
            m_lastWritten = m_dialog.entry;
            if (!after.Consistent() || after.recordValue != m_dialog.entry) {
                ++m_tally.badBlocks;
                std::printf("cycle %u: after a write of %u reported as done the radio holds "
                            "record %u (checksum %s), vector %u (checksum %s)\n",
                            number, m_dialog.entry, after.recordValue,
                            after.recordChecksumOk ? "ok" : "bad", after.vectorValue,
                            after.vectorChecksumOk ? "ok" : "bad");
            }
        } else {
            ++m_tally.writesFailedWithMessage;
            if (!after.Consistent()) {
                ++m_tally.halfWritten;
            }
        }
    }

    Control("silent off");
    Control("faults delay=0 delayms=0 corruptin=0");
    ++m_tally.cycles;
    return true;
}

bool Soak::FinalReadBack() {
    const Outcome read = Run([this] { return Read(); }, CycleFault{}, false);
    const RadioState state = Memory();
    if (read != Outcome::Completed) {
        return read == Outcome::FailedWithMessage;
    }
    if (m_dialog.shownValue != state.recordValue) {
        ++m_tally.wrongValues;
    }
    if (m_lastWriteCompleted && m_dialog.shownValue != m_lastWritten) {
        ++m_tally.readBacksDiffering;
    }
    return true;
}

void Row(const char* what, unsigned long long value) {
    std::printf("| %-58s | %10llu |\n", what, value);
}

} // namespace

int main(int argc, char** argv) {
    unsigned cycles = 30;
    uint32_t seed = 1;
    if (argc == 2 && std::strcmp(argv[1], "--hold-prefix") == 0) {
        // Keeps the prefix's Wine services running (see scripts/soak), until killed.
        Sleep(INFINITE);
    }
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--cycles") == 0) {
            cycles = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
        } else if (std::strcmp(argv[i], "--seed") == 0) {
            seed = static_cast<uint32_t>(std::strtoul(argv[i + 1], nullptr, 10));
        }
    }
    SetUnhandledExceptionFilter(ReportCrash);
    setvbuf(stdout, nullptr, _IONBF, 0);
    if (Environment("RADIOSIM_CONTROL_WIN").empty() || Environment("RADIOSIM_SAVE_WIN").empty()) {
        std::printf("run the soak through tests/lib/with-radiosim (scripts/soak does)\n");
        return 2;
    }

    ComApartment apartment;
    RadioLinkDll dll;
    if (FAILED(apartment.Result()) || !dll.Loaded()) {
        std::printf("cannot load radiolink.dll: %s\n", dll.LoadError().c_str());
        return 2;
    }
    ComPtr<IClassFactory> packetFactory, commandFactory;
    if (FAILED(dll.GetClassObject(CLSID_PacketLink, IID_IClassFactory, packetFactory.PutVoid())) ||
        FAILED(
            dll.GetClassObject(CLSID_CommandLink, IID_IClassFactory, commandFactory.PutVoid()))) {
        std::printf("radiolink.dll gives no class objects\n");
        return 2;
    }
    ExchangeClock clock;
    TimedLinkRegistration registration(packetFactory.Get(), commandFactory.Get(), clock);
    if (FAILED(registration.Result())) {
        std::printf("cannot register the class objects\n");
        return 2;
    }
    MessageBoxWatcher boxes([&clock](const SeenMessageBox&) { clock.MessageShown(); });
    std::thread(WatchForHangs).detach();

    const ULONGLONG started = GetTickCount64();
    Soak soak(seed, boxes, clock);
    ProcessFigures early;
    for (unsigned cycle = 1; cycle <= cycles; ++cycle) {
        soak.Cycle(cycle);
        if (cycle == 10) {
            early = MeasureProcess();
        }
        if (cycle % 100 == 0) {
            std::printf("... %u cycles\n", cycle);
        }
    }
    const bool finalRead = soak.FinalReadBack();
    const ULONGLONG tookMs = GetTickCount64() - started;
    const ProcessFigures late = MeasureProcess();
    const Tally& t = soak.Result();
    const LineFaultCounts line = CountLineFaults(Environment("RADIOSIM_LOG_WIN"));

    unsigned cycleFaults = 0;
    for (int k = 1; k < kFaultKinds; ++k) {
        cycleFaults += t.faultsByKind[k];
    }
    const unsigned long long lineFaults =
        line.droppedBytes + line.corruptedBytes + line.heldReplies + line.damagedFrames;
    std::printf("\nSoak: seed %u, %u cycles, %.1f s\n\n", seed, t.cycles, tookMs / 1000.0);
    std::printf("| %-58s | %10s |\n|%s|%s|\n", "", "count",
                "------------------------------------------------------------", "------------");
    Row("cycles (Read, change, Write; next Read reads back)", t.cycles);
    Row("faults injected", cycleFaults + lineFaults);
    Row("  reply bytes dropped", line.droppedBytes);
    Row("  reply bytes corrupted", line.corruptedBytes);
    Row("  replies held back past the attempt timeout", line.heldReplies);
    Row("  frames damaged on the way to the radio", line.damagedFrames);
    for (int k = 1; k < kFaultKinds; ++k) {
        Row((std::string("  cycles with ") + FaultName(static_cast<FaultKind>(k))).c_str(),
            t.faultsByKind[k]);
    }
    Row("reads completed", t.readsCompleted);
    Row("reads failed with a message", t.readsFailedWithMessage);
    Row("reads failed without a message (must be 0)", t.readsFailedSilently);
    Row("wrong values shown (must be 0)", t.wrongValues);
    Row("read-backs differing from a completed write (must be 0)", t.readBacksDiffering);
    Row("writes completed", t.writesCompleted);
    Row("writes failed with a message", t.writesFailedWithMessage);
    Row("  of which left the blocks disagreeing until the next write", t.halfWritten);
    Row("bad blocks after a completed write (must be 0)", t.badBlocks);
    Row("failed exchanges", clock.FailedExchanges());
    Row("longest failed exchange, ms (bound 2000)", clock.LongestFailedExchangeMs());
    Row("longest failure to its message, ms", clock.LongestFailureToMessageMs());
    Row("longest operation, ms", t.longestOperationMs);
    Row("fresh handle value after cycle 10 (flat: no handle leak)", early.freshHandle);
    Row("fresh handle value at the end", late.freshHandle);
    Row("private committed KiB after cycle 10", early.privateCommitted / 1024);
    Row("private committed KiB at the end", late.privateCommitted / 1024);
    Row("hangs (must be 0)", 0);
    Row("crashes (must be 0)", 0);

    std::printf("\nMessages shown:\n");
    for (const auto& [text, count] : t.messages) {
        std::printf("%6u  %s\n", count, text.c_str());
    }

    const bool ok = t.readsFailedSilently == 0 && t.wrongValues == 0 && t.readBacksDiffering == 0 &&
                    t.badBlocks == 0 && finalRead && t.readsCompleted > 0 &&
                    t.writesCompleted > 0 &&
                    clock.LongestFailedExchangeMs() <= kFailureBoundWithMarginMs;
    std::printf("\n%s\n", ok ? "SOAK PASSED" : "SOAK FAILED");
    return ok ? 0 : 1;
}
