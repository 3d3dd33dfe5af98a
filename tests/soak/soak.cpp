// soak_test [--cycles N] [--seed S]: Read, change, Write cycles through the program's own
// ReadSquelch and WriteSquelch over the real radiolink.dll against the simulated radio, under
// tests/lib/with-radiosim (scripts/soak). Faults: the radio's seeded byte faults on its replies,
// and in one cycle in three one of the cycle's own. The oracle is the radio's: the values its
// saved memory holds and its own layout check after each write. Every row of the table printed
// is judged against its bound; then SOAK PASSED or SOAK FAILED.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>

#include "radio/squelch_read.h"
#include "radio/squelch_write.h"
#include "tests/lib/recording_dialog.h"
#include "tests/soak/radio_link_dll.h"

using namespace radio; // the test reads as the program's own code

namespace {

// Bounds. An operation has at most nine exchanges, each failing within 2 s: one not returned
// after 30 s has hung. A failure reaches the operator within the 2 s bound of its exchange, plus
// a margin for a loaded machine under Wine. Committed memory and handles stay flat once the
// first cycles have loaded what they need: 64 KiB and 10 handles from cycle 10 on are the bounds.
// On a line with byte faults only, at least 98% of reads and writes complete.
constexpr ULONGLONG kHangMs = 30000, kReportMs = 2000 + 1500;
constexpr unsigned long long kGrowthKiB = 64, kHandles = 10, kCompletedPercent = 98;

struct Tally {
    unsigned long long faults = 0, reads = 0, writes = 0, wrongValues = 0, badWrites = 0;
    unsigned long long failures = 0, silent = 0, slowestReportMs = 0, hangs = 0;
    unsigned long long handles[2] = {}, committedKiB[2] = {}; // after cycle 10, at the end
} g_tally;
std::atomic<ULONGLONG> g_operationStartMs{0};

// The files of the radio that with-radiosim names, from a byte on.
std::string Contents(const char* variable, size_t from = 0) {
    std::ifstream in(std::getenv(variable) ? std::getenv(variable) : "", std::ios::binary);
    in.seekg(static_cast<std::streamoff>(from));
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A control line: the radio applies it before any serial input that arrives after it.
void Control(const std::string& line) {
    std::ofstream(std::getenv("RADIOSIM_CONTROL_WIN")) << line << '\n';
}

// The squelch value the radio's saved memory holds in its record or in its pot vector, found
// through the pointers in the memory (root block to index block to record; root to vector).
unsigned Held(bool inVector) {
    const std::string m = Contents("RADIOSIM_SAVE_WIN");
    const auto at = [&](size_t a) { return a < m.size() ? static_cast<unsigned char>(m[a]) : 0u; };
    const size_t index = at(2) * 256 + at(3), record = at(index + 52) * 256 + at(index + 53);
    return m.size() != 65536 ? 99
           : inVector        ? at(at(39) * 256 + at(40) + 7) >> 4
                             : at(record + 22) & 15;
}

// The radio's log, read as it grows: its layout check after the last write it accepted, and
// the faults it applied (reply bytes dropped or corrupted, replies held, frames damaged).
struct RadioLog {
    void Update() {
        const std::string text = Contents("RADIOSIM_LOG_WIN", read);
        for (size_t from = 0, end; (end = text.find('\n', from)) != std::string::npos;
             read += end + 1 - from, from = end + 1) {
            const std::string line = text.substr(from, end - from);
            if (line.find("\"record_ok\":") != std::string::npos) {
                lastWriteConsistent =
                    line.find("\"record_ok\":true,\"vector_ok\":true") != std::string::npos;
            }
            const auto number = [&](const std::string& key) {
                const size_t at = line.find(key);
                return at == std::string::npos ? 0 : std::atoll(&line[at + key.size()]);
            };
            g_tally.faults += number("\"dropped\":") + number("\"corrupted\":") +
                              (number("\"held_ms\":") > 0) +
                              (line.find("damaged") != std::string::npos);
        }
    }
    size_t read = 0;
    bool lastWriteConsistent = false;
};

void NoWait(DWORD) {} // the simulated radio needs no time to settle in programming mode

// Committed private memory, summed over the address space, and the value of a fresh handle
// (Wine 8 reports neither memory nor a handle count; the lowest free handle tells).
void Measure(int when) {
    MEMORY_BASIC_INFORMATION region = {};
    for (char* at = nullptr; VirtualQuery(at, &region, sizeof region);
         at = static_cast<char*>(region.BaseAddress) + region.RegionSize) {
        const bool mine = region.State == MEM_COMMIT && region.Type == MEM_PRIVATE;
        g_tally.committedKiB[when] += mine ? region.RegionSize / 1024 : 0;
    }
    const HANDLE fresh = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    g_tally.handles[when] = reinterpret_cast<ULONG_PTR>(fresh) / 4;
    CloseHandle(fresh);
}

// Runs one operation, the line cut `cutMs` into it unless 0. True when it completed: no
// message, and the value read for a read. A failure must bring a message, in time.
template <class Operation>
bool Run(RecordingDialog& dialog, Operation operation, unsigned cutMs) {
    dialog.log.clear();
    g_exchangeStartMs = g_operationStartMs = GetTickCount64();
    std::thread cut([cutMs] {
        Sleep(cutMs);
        Control(cutMs ? "silent on" : "");
    });
    const bool done = operation();
    const ULONGLONG reportMs = GetTickCount64() - g_exchangeStartMs; // the message ends it
    g_operationStartMs = 0;
    cut.join();
    if (done && dialog.Boxes().empty()) {
        return true;
    }
    ++g_tally.failures;
    g_tally.silent += dialog.Boxes().empty();
    g_tally.slowestReportMs = std::max(g_tally.slowestReportMs, reportMs);
    return false;
}

// A cycle's own fault, drawn from the seed (the percentages of cycles they end at): replies held
// past the timeout, bits flipped towards the radio, silence from a read or a write, a cut in one.
enum Fault { kNone, kHeld, kFlippedIn, kSilentRead, kSilentWrite, kCutRead, kCutWrite };
constexpr unsigned kFaultUpTo[] = {67, 73, 79, 82, 85, 93};

unsigned Cycles(unsigned cycles, unsigned seed, bool cycleFaults) {
    RadioLinkDll dll;
    RecordingDialog dialog;
    RadioLog log;
    std::mt19937 random(seed);
    unsigned cycle = 1;
    for (; dll.Ready() && cycle <= cycles; ++cycle) {
        const auto drawn = static_cast<Fault>(
            std::upper_bound(kFaultUpTo, kFaultUpTo + 6, random() % 100) - kFaultUpTo);
        const Fault fault = cycleFaults ? drawn : kNone;
        const unsigned cutMs = 1 + random() % 600, value = (dialog.value + 1 + random() % 15) % 16;
        Control(fault == kHeld         ? "faults delay=0.4 delayms=700"
                : fault == kFlippedIn  ? "faults corruptin=0.03"
                : fault == kSilentRead ? "silent on"
                                       : "");
        const auto read = [&] {
            ReadSquelch(dialog, NoWait);
            return dialog.valueRead != FALSE;
        };
        if (Run(dialog, read, fault == kCutRead ? cutMs : 0)) {
            ++g_tally.reads;
            const std::string shown = "ShowValue " + std::to_string(Held(false));
            g_tally.wrongValues += dialog.log.empty() || dialog.log.back() != shown;
            // A new value written; the next cycle's Read reads it back.
            dialog.entry = value;
            Control(fault == kSilentWrite ? "silent on" : "");
            const bool written = Run(
                dialog, [&] { return WriteSquelch(dialog), true; },
                fault == kCutWrite ? cutMs / 3 : 0);
            log.Update();
            g_tally.writes += written;
            g_tally.badWrites += written && !(log.lastWriteConsistent && Held(false) == value &&
                                              Held(true) == value);
        }
        Control("silent off\nfaults delay=0 delayms=0 corruptin=0");
        // By cycle 10 short-lived threads have exited: Wine keeps the last exited thread's
        // stacks (3,200 KiB) committed from then on, which is no growth of ours.
        if (cycle == std::min(10u, cycles)) {
            Measure(0);
        }
    }
    Measure(1);
    log.Update();
    return cycle - 1;
}

} // namespace

int main(int argc, char** argv) {
    unsigned cycles = 30, seed = 1;
    bool cycleFaults = true; // --no-cycle-faults: the radio's byte faults only, a worn cable
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--no-cycle-faults") {
            cycleFaults = false;
        } else if (i + 1 < argc) {
            (option == "--seed" ? seed : cycles) = std::stoul(argv[++i]);
        }
    }
    setvbuf(stdout, nullptr, _IONBF, 0);
    const ULONGLONG started = GetTickCount64();
    std::atomic<unsigned> done{~0u}; // the cycles run, once they are over
    std::thread worker([&] { done = Cycles(cycles, seed, cycleFaults); });
    while (done == ~0u && !g_tally.hangs) { // a hung operation is not waited for
        Sleep(200);
        const ULONGLONG since = g_operationStartMs;
        g_tally.hangs = since && GetTickCount64() - since > kHangMs;
    }
    const Tally t = g_tally;
    const auto gain = [](const unsigned long long* m) { return m[1] > m[0] ? m[1] - m[0] : 0; };
    std::printf("\nSoak: seed %u, %u of %u cycles (Read, change, Write; the next Read reads it "
                "back), %.1f s\n\n| %-64s | %8s | %-9s |        |\n|%s|\n",
                seed, done == ~0u ? 0u : done.load(), cycles, (GetTickCount64() - started) / 1000.0,
                "", "count", "bound", std::string(98, '-').c_str());
    bool ok = true;
    const auto row = [&](const std::string& what, unsigned long long value, bool within,
                         const std::string& bound) {
        std::printf("| %-64s | %8llu | %-9s | %-6s |\n", what.c_str(), value, bound.c_str(),
                    within ? "ok" : "FAILED");
        ok = ok && within;
    };
    row("faults the radio applied to bytes, replies and frames", t.faults, t.faults > 0, "> 0");
    // With the cycles' own faults (silences, cuts) many operations fail by design.
    const unsigned long long ran = done == ~0u ? cycles : done.load();
    const auto completed = [&](const char* what, unsigned long long count, unsigned long long of) {
        const bool enough = cycleFaults ? count > 0 : count * 100 >= of * kCompletedPercent;
        row(std::string(what) + " completed (of " + std::to_string(of) + ")", count, enough,
            cycleFaults ? "> 0" : ">= 98%");
    };
    completed("reads", t.reads, ran);
    completed("writes", t.writes, t.reads);
    row("wrong values shown by a completed read", t.wrongValues, t.wrongValues == 0, "0");
    row("completed writes the radio does not hold whole", t.badWrites, t.badWrites == 0, "0");
    row("failures without a message (of " + std::to_string(t.failures) + ")", t.silent,
        t.silent == 0, "0");
    row("longest from a failing exchange's start to its message, ms", t.slowestReportMs,
        t.slowestReportMs <= kReportMs, "<= 3500");
    row("hangs (an operation not returned after 30 s)", t.hangs, t.hangs == 0, "0");
    row("handles gained from cycle 10 to the end", gain(t.handles), gain(t.handles) <= kHandles,
        "<= 10");
    row("committed KiB gained from cycle 10 to the end", gain(t.committedKiB),
        gain(t.committedKiB) <= kGrowthKiB, "<= 64");
    std::printf("\n%s\n", ok ? "SOAK PASSED" : "SOAK FAILED");
    if (t.hangs) {
        TerminateProcess(GetCurrentProcess(), 1); // a hung operation cannot be joined
    }
    worker.join();
    return ok ? 0 : 1;
}
