// e2e_driver --list: the cases, "com1 ID" or "com5 ID" (tests/e2e/run starts a fresh simulated
// radio on that port; COM1 is absent unless the radio is there) or "none ID" (COM1 absent), then
// the other ports the case needs ("com3=silent,com9=radio"). --case
// ID --exe PATH: one case below, "ok ..." or "FAIL ..." and the step; status 0 or 1. --exe PATH
// [--out FILE] [STEP ...]: free steps for scripts/run, scripts/bench and the installer test, a
// line each (status 2 on a failed step), after starting Hushwell unless the first step starts a
// program itself (open-port, run). --rundll32 PROGRAM: what runs radiolink.dll's PortMap and
// LinkLog (rundll32.exe). A step is "VERB [ARG][ => what a person then sees]" (program.h); cases
// also have memory ADDRESS and unchanged. No window: status 3.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "tests/e2e/driver/program.h"

namespace {

// Steps, separated by "; ", say after "=>" what a person sees: the entry's text or the exit code,
// then the popups ("caption: first text", joined by " | "); memory: its bytes there, in hex;
// radio-heard [PORT]: the kinds of frame the radio (of PORT) received, with its verdicts.
struct Case {
    const char* id;
    const char* radio; // its port, or none
    const char* title;
    const char* steps;
    const char* ports = ""; // the other ports tests/e2e/run starts
};

const Case kCases[] = {
    {"read", "com1", "Read shows the radio's value",
     "start; entry => 0; click read; entry => 8; close => 0"},
    // The pot vector: 11 in the high nibble of byte 7, its checksum in byte 13. The squelch
    // record: 11 in bits 0 to 3 of byte 22, bit 4 set, bits 5 to 7 kept; its checksum in byte
    // 46. Every other byte as it was.
    {"write", "com1", "a written value is in the radio and read back after a restart",
     "start; click read; type 11; click write; close => 0; start; click read; entry => 11; "
     "close => 0; memory 0x00A0 => a1a2a3a4a5a6a7b0a9aaabacad2e; memory 0x0240 => "
     "2a334d4e4f505152535455565758595a5b5c5d5e5f60bb62636465666768696a6b6c6d6e6f70717273747576"
     "77788b; unchanged"},
    {"write-first", "com1", "Write before Read is refused and the radio untouched",
     "start; click write => hushwell: Must read current Squelch value first; close => 0; "
     "unchanged"},
    {"system-menu", "none", "About and Help open from the system menu and close",
     "start; sysmenu 0x10 => About Hushwell: Hushwell Version 1.0; sysmenu 9 => Hushwell Help: "
     "This applet is used to adjust the Squelch setting on Vexa Tidemark Radios.; close => 0"},
    // A technician's cable is COM5; Hushwell asks for COM1, which is absent.
    {"port-map", "com5", "with COM1 mapped to COM5 by rundll32, Read and Write reach the radio",
     "rundll32 PortMap COM1=COM5 => radiolink.dll: COM1 now opens COM5.; start; click read; "
     "entry => 8; type 11; click write; close => 0; memory 0x00A0 => "
     "a1a2a3a4a5a6a7b0a9aaabacad2e; rundll32 PortMap COM1= => radiolink.dll: COM1 now opens "
     "COM1 (no mapping).; rundll32 LinkLog off => radiolink.dll: The link log is off."},
    // The same cable found in hushwell-port.exe (also the installed one's check): Escape stores
    // nothing, Enter stores it.
    {"port-dialog", "com5", "COM5 found in the port program is where Read reaches",
     "open-port => first COM1 (no mapping), selected COM1 (no mapping); find-radio COM5 escape => "
     "[COM5 - a radio answered] | A radio answered on COM5. Press OK to use it. | in under 2 s; "
     "open-port => first COM1 (no mapping), selected COM1 (no mapping); find-radio COM5 enter => "
     "[COM5 - a radio answered] | A radio answered on COM5. Press OK to use it. | in under 2 s; "
     "start; click read; entry => 8; close => 0"},
    // Find radio: COM1 absent, nothing answers on COM3, this driver holds COM6 through a link, COM9
    // is a Bluetooth link with a radio behind it, and two adapters have no working port: a
    // Prolific one that would be COM7 and a WCH one (tests/e2e/adapters.reg). Cancel during the
    // search (after the radio answered) stores nothing; OK stores COM5.
    {"find-radio", "com5", "Find radio marks each port and selects the radio's, which only refuses",
     "hold COM6; open-port => first COM1 (no mapping), selected COM1 (no mapping); find-radio "
     "COM1,COM3,COM5,COM6 cancel => a radio answered while searching, closed at once; "
     "open-port => first COM1 (no mapping), selected COM1 (no mapping); find-radio "
     "COM1,COM3,COM5,COM6,COM7,COM9,No enter => COM1 (no mapping) - could not be opened: "
     "Invalid function | COM3 - no answer | [COM5 - a radio answered] | COM6 - "
     "in use by another program | COM9 (Standard Serial over Bluetooth link) - Bluetooth link, not "
     "searched | COM7 - PL2303HXA PHASED OUT SINCE 2012. PLEASE CONTACT YOUR SUPPLIER. (Prolific, "
     "USB 067B:2303) Its driver could not start it (code 10). The driver refuses this adapter: use "
     "another cable. | No port - USB2.0-Serial (WCH, USB 1A86:7523) No driver is installed for it "
     "(code 28). Install the WCH driver for it. | A radio answered on COM5. Press OK to use it. | "
     "in under 2 s; radio-heard => read nak:not_in_programming_mode; radio-heard com9 => ; "
     "open-port => first COM1 (no mapping), selected COM5; close => 0",
     "com3=silent,com6=silent,com9=radio,tree=adapters"},
};

// The radio's memory as it last saved it, in the file with-radiosim names.
std::string SavedMemory() {
    const char* path = std::getenv("RADIOSIM_SAVE_WIN");
    std::ifstream in(path ? path : "", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The radio's log (with-radiosim's, or that of the radio tests/e2e/run started on `port`): each
// kind of frame it received and its verdict, once, in the order they first came ("read
// nak:not_in_programming_mode, command ok").
std::string RadioHeard(const std::string& port) {
    const char* logs = std::getenv(port.empty() ? "RADIOSIM_LOG_WIN" : "E2E_LOGS_WIN");
    std::ifstream in(std::string(logs ? logs : "") +
                     (port.empty() ? "" : "\\radio-on-" + port + ".jsonl"));
    if (!in) {
        return "no log";
    }
    const std::regex received("\"dir\":\"in\",\"type\":\"(\\w+)\".*\"verdict\":\"([^\"]+)\"");
    std::string heard;
    std::smatch kind;
    for (std::string line; std::getline(in, line);) {
        if (std::regex_search(line, kind, received) &&
            (", " + heard + ", ").find(", " + kind.str(1) + " " + kind.str(2) + ", ") ==
                std::string::npos) {
            heard += (heard.empty() ? "" : ", ") + kind.str(1) + " " + kind.str(2);
        }
    }
    return heard;
}

// memory: the saved bytes at `at`, which become part of `expected`; unchanged: the whole saved
// memory against `expected` (the memory at the start of the case with those bytes in).
std::string CheckMemory(const std::string& verb, size_t at, const std::string& want,
                        std::string& expected) {
    const std::string memory = SavedMemory();
    if (memory.size() != 65536 || expected.size() != 65536) {
        return "no saved memory";
    }
    if (verb == "unchanged") {
        const auto diff = std::mismatch(memory.begin(), memory.end(), expected.begin()).first;
        return diff == memory.end() ? "" : "a change at " + std::to_string(diff - memory.begin());
    }
    std::string saw;
    for (size_t i = 0; i < want.size() / 2 && at + i < 65536; ++i) {
        saw += "0123456789abcdef"[memory[at + i] >> 4 & 15];
        saw += "0123456789abcdef"[memory[at + i] & 15];
        expected[at + i] = static_cast<char>(std::stoi(want.substr(2 * i, 2), nullptr, 16));
    }
    return saw;
}

// Runs the steps. Checked (a case): up to the first step that shows something else than it
// says, which `problem` describes. Free: prints each step as a line of tab-separated fields:
// "step", its number, verb, argument, ok or failed, milliseconds, text or error, popups.
bool Run(const std::string& steps, bool checked, const std::string& exe,
         const std::string& rundll32, std::string& problem) {
    Program program(exe, rundll32);
    std::string expected = SavedMemory();
    for (size_t from = 0, i = 0; from < steps.size() && problem.empty(); ++i) {
        const std::string full = steps.substr(from, steps.find("; ", from) - from);
        from += full.size() + 2;
        const std::string step = full.substr(0, full.find(" => "));
        const std::string want = full.substr(std::min(full.size(), step.size() + 4));
        const std::string verb = step.substr(0, step.find(' '));
        const std::string arg = step.substr(std::min(step.size(), verb.size() + 1));
        const ULONGLONG started = GetTickCount64();
        std::string text, error, saw;
        const bool memory = verb == "memory" || verb == "unchanged", heard = verb == "radio-heard";
        const bool ok = memory || heard || program.Do(verb, arg, text, error);
        const std::string popups = program.TakePopups();
        saw = heard    ? RadioHeard(arg)
              : memory ? CheckMemory(verb, std::strtoul(arg.c_str(), nullptr, 0), want, expected)
              : ok     ? text + (text.empty() || popups.empty() ? "" : " | ") + popups
                       : "failed: " + error;
        if (checked && saw != want) {
            problem = "step " + std::to_string(i + 1) + " (" + step + "): expected \"" + want +
                      "\", saw \"" + saw + "\"";
        } else if (!checked) {
            std::printf("step\t%u\t%s\t%s\t%s\t%llu\t%s\t%s\n", static_cast<unsigned>(i),
                        verb.c_str(), arg.c_str(), ok ? "ok" : "failed",
                        (program.idleSinceMs > started ? program.idleSinceMs : GetTickCount64()) -
                            started,
                        (ok ? text : error).c_str(), popups.c_str());
            std::fflush(stdout);
            problem = error;
        }
    }
    return problem.empty();
}

} // namespace

int main(int argc, char** argv) {
    std::string exe, caseId, problem, steps, rundll32 = "rundll32.exe";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--list") {
            for (const Case& c : kCases) {
                std::printf("%s %s %s\n", c.radio, c.id, c.ports);
            }
            return 0;
        } else if ((arg == "--exe" || arg == "--case" || arg == "--rundll32") && i + 1 < argc) {
            (arg == "--exe" ? exe : arg == "--case" ? caseId : rundll32) = argv[++i];
        } else if (arg == "--out" && i + 1 < argc) { // explorer /desktop gives the driver no stdout
            std::freopen(argv[++i], "w", stdout);
        } else {
            steps += (steps.empty() ? "" : "; ") + arg;
        }
    }
    // Free steps start Hushwell first, unless they start a program of their own.
    if (steps.rfind("open-port", 0) != 0 && steps.rfind("run ", 0) != 0) {
        steps = "start" + (steps.empty() ? "" : "; " + steps);
    }
    // Wine's desktop keeps the display it found at its start for every window of the session:
    // if this window cannot be made, no window of the program can be either.
    if (!DestroyWindow(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, 0, 0, 0, nullptr))) {
        std::printf("cannot create a window: no display driver (was Xvfb started before Wine?)\n");
        return 3;
    }
    for (const Case& c : kCases) {
        if (caseId == c.id) {
            const ULONGLONG started = GetTickCount64();
            const bool ok = Run(c.steps, true, exe, rundll32, problem);
            std::printf("%s %s: %s (%.1f s)\n", ok ? "ok  " : "FAIL", c.id, c.title,
                        (GetTickCount64() - started) / 1000.0);
            std::printf(ok ? "" : "     %s\n", problem.c_str());
            return ok ? 0 : 1;
        }
    }
    return caseId.empty() && Run(steps, false, exe, rundll32, problem) ? 0 : 2;
}
