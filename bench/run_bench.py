"""Hushwell's benchmarks: prints every figure and ratio of one run as Markdown tables.

Run by scripts/bench, which builds the programs, prepares the Wine prefix (radiolink.dll
registered, windows unmanaged), the X display and the wineserver, and passes the folders.
Figures are reported, never judged: nothing here fails because something was slow.

  run_bench.py --win32 DIR --win64 DIR --host DIR --work DIR --link PATH [--runs N]
              [--bauds B,B]
"""

import argparse
import json
import math
import os
import platform
import re
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.dont_write_bytecode = True  # no __pycache__ in the source tree
from driver_session import run_driver, windows_path  # noqa: E402  (the end-to-end driver)
import link_map  # noqa: E402

WINE64 = "/usr/lib/wine/wine64"
FOOTPRINT_GOAL = 64 * 1024
BITS_PER_BYTE = 10  # 8N1: a start bit, eight data bits, a stop bit
READ_WAIT_S = 1.0  # the program's fixed wait after the programming-mode command
MODBUS_READ_32 = 8 + 37  # a Modbus RTU read of 16 registers: request and response
FRAME_OVERHEAD = 13  # header 7, CRC 4, COBS 1, delimiter 1 (frames below 254 bytes)
READY_TIMEOUT_S = 10
PROGRAMMING_MODE = "01020140"  # the command after which a Read waits READ_WAIT_S on purpose
SYSTEM_DLL = re.compile(r"^(kernel32|user32|gdi32|advapi32|ole32|oleaut32|shell32|comctl32|"
                        r"comdlg32|msvcrt|ucrtbase|ws2_32|version|shlwapi|uuid|"
                        r"api-ms-win-[a-z0-9-]+)\.dll$")


# ---------------------------------------------------------------- small helpers

def median_min(values):
    return (statistics.median(values), min(values)) if values else (float("nan"),) * 2


def percentile(values, share):
    """Nearest rank: the smallest value that `share` percent of the values do not exceed."""
    ordered = sorted(values)
    return ordered[max(0, math.ceil(share / 100.0 * len(ordered)) - 1)]


def table(headers, rows):
    lines = ["| " + " | ".join(headers) + " |", "|" + "---|" * len(headers)]
    lines += ["| " + " | ".join(str(cell) for cell in row) + " |" for row in rows]
    return "\n".join(lines)


def kib(size):
    return "%.1f KiB" % (size / 1024.0)


def mib(size):
    return "%.1f MiB" % (size / 1048576.0)


def machine():
    cpu = "unknown"
    with open("/proc/cpuinfo", encoding="utf-8") as info:
        for line in info:
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    wine = subprocess.run([WINE64, "--version"], capture_output=True, text=True).stdout.strip()
    return {"nproc": os.cpu_count(), "cpu": cpu, "wine": wine, "kernel": platform.release(),
            "load": " ".join(open("/proc/loadavg").read().split()[:3])}


# ---------------------------------------------------------------- footprint

def imports(objdump, binary):
    out = subprocess.run([objdump, "-p", binary], capture_output=True, text=True,
                         check=True).stdout
    return sorted({m.group(1).lower() for m in re.finditer(r"DLL Name: (\S+)", out)})


def footprint(win32_dir, win64_dir):
    rows = []
    figures = {}
    for name in ("hushwell.exe", "radiolink.dll"):
        path32 = os.path.join(win32_dir, name)
        path64 = os.path.join(win64_dir, name)
        size = os.path.getsize(path32)
        dlls = imports("i686-w64-mingw32-objdump", path32)
        foreign = [d for d in dlls if not SYSTEM_DLL.match(d)]
        comctl = name == "hushwell.exe" and "comctl32.dll" in dlls
        verdict = "system DLLs only" if not foreign else "NOT SYSTEM: " + ", ".join(foreign)
        if comctl:
            verdict += "; imports comctl32.dll"
        size64 = os.path.getsize(path64) if os.path.exists(path64) else 0
        figures[name] = {"i686": size, "x86_64": size64, "imports": dlls}
        rows.append([name, "%d (%s)" % (size, kib(size)), "%.2f" % (size / FOOTPRINT_GOAL),
                     kib(size64), ", ".join(dlls), verdict])
    text = table(["binary", "i686 bytes", "÷ 64 KiB", "x86_64", "imports (i686)", "imports"],
                 rows)
    return text, figures


def short_piece(name):
    """An archive member without the prefix MinGW's archives give it (lib32_libmingwex_a-)."""
    return re.sub(r"^(lib(32|64)_)?lib\w+?_l?a-", "", name)


def sizes(win32_dir):
    """Where the bytes of each i686 binary come from, by its linker map (NAME.map beside it)."""
    parts = []
    for name in ("hushwell.exe", "radiolink.dll"):
        binary = os.path.join(win32_dir, name)
        map_path = binary + ".map"
        if not os.path.exists(map_path):
            parts.append("%s: no linker map (%s)." % (name, map_path))
            continue
        file_size, groups = link_map.summarise(map_path, binary, win32_dir, ROOT)
        rows = [[g["group"], "%d" % g["bytes"], "%.1f %%" % (100.0 * g["bytes"] / file_size),
                 "%d" % g["unwind"] if g["unwind"] else "",
                 ", ".join("%s %d" % (short_piece(piece), size) for piece, size in g["largest"])]
                for g in groups]
        rows.append(["**total: the file**", "**%d**" % file_size, "100 %", "", ""])
        parts.append(table(["%s (i686)" % name, "bytes", "of the file", "of them unwind tables "
                            "(.eh_frame)", "largest pieces, bytes"], rows))
    return "\n\n".join(parts)


# ---------------------------------------------------------------- the simulated radio

class Radio:
    def __init__(self, binary, link, baud, folder):
        os.makedirs(folder, exist_ok=True)
        self.log_path = os.path.join(folder, "radiosim.log")
        if os.path.exists(self.log_path):
            os.unlink(self.log_path)
        self.stderr = open(os.path.join(folder, "radiosim.stderr"), "wb")
        self.process = subprocess.Popen(
            [binary, "--link", link, "--baud", str(baud), "--log", self.log_path],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=self.stderr)
        deadline = time.monotonic() + READY_TIMEOUT_S
        while not any(e.get("event") == "ready" for e in self.log()):
            if self.process.poll() is not None or time.monotonic() > deadline:
                self.stop()
                raise RuntimeError("the simulated radio did not start (see %s)" % folder)
            time.sleep(0.02)

    def log(self):
        try:
            with open(self.log_path, encoding="utf-8") as lines:
                return [json.loads(line) for line in lines if line.endswith("\n")]
        except FileNotFoundError:
            return []

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(10)
        self.stderr.close()


def line_bytes(entry):
    """Bytes a logged frame took on the line, delimiter included."""
    if entry.get("dir") == "out":
        return entry["line_bytes"]
    payload = len(entry.get("bytes", "")) // 2
    return payload + 1 if entry.get("type") == "damaged" else payload + FRAME_OVERHEAD


def frames(entries):
    return [e for e in entries if e.get("dir") in ("in", "out")]


# ---------------------------------------------------------------- working set from /proc

def wine_process(program):
    """The pid of the wine process running `program` (its command line names the program)."""
    wanted = windows_path(program).lower()
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as raw:
                argv0 = raw.read().split(b"\0")[0].decode("utf-8", "replace").lower()
        except OSError:
            continue
        if argv0 == wanted:
            return int(pid)
    return None


def cpu_seconds(pid):
    """User plus kernel time of the whole process so far, threads that ended included: the
    kernel's per-process CPU clock, read for another process by its clock id (the scheduler's
    count, to the nanosecond, where /proc/PID/stat counts 10 ms ticks)."""
    try:
        return time.clock_gettime((~pid << 3) | 2)  # CPUCLOCK_SCHED of process `pid`
    except OSError:
        return None


def resident_kib(pid):
    with open("/proc/%d/status" % pid, encoding="utf-8") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return None


# ---------------------------------------------------------------- operations at a baud rate

OPERATIONS = ("read", "write", "reset")
OPERATION_NAMES = {"read": "Read", "write": "Write", "reset": "Reset Radio"}


def time_operations(args, baud):
    """Runs Read, Write (8 back: memory unchanged) and Reset Radio `runs` times in one program
    session against a radio paced at `baud`; returns per-operation samples."""
    folder = os.path.join(args.work, "baud-%d" % baud)
    link = args.link
    program = os.path.join(args.win64, "hushwell.exe")
    driver = os.path.join(args.win64, "tests", "e2e", "e2e_driver.exe")
    radio = Radio(os.path.join(args.host, "radiosim", "radiosim"), link, baud, folder)
    cuts = []
    resident = []
    cpu = []
    found = {}

    def cut():
        cuts.append(len(radio.log()))
        pid = found.get("pid") or wine_process(program)
        found["pid"] = pid
        resident.append(resident_kib(pid) if pid else None)
        cpu.append(cpu_seconds(pid) if pid else None)

    steps = [("action", "cut")]
    for _ in range(args.runs):
        steps += ["click read", "entry", ("action", "cut"), "click write", ("action", "cut"),
                  "click reset", ("action", "cut")]
    steps += ["close", "wait-exit"]
    try:
        result = run_driver(WINE64, driver, program, folder, steps, {"cut": cut})
    finally:
        radio.stop()
    log = radio.log()

    problems = []
    clicks = [s for s in result.steps() if s.get("do") == "click"]
    entries = [s for s in result.steps() if s.get("do") == "entry"]
    if result.status != 0 or len(clicks) != 3 * args.runs:
        problems.append("the driver stopped (status %s): %s" % (result.status,
                                                                 result.stderr.strip()[-300:]))
    problems += ["%s showed %s" % (c["arg"], c["popups"]) for c in clicks if c.get("popups")]
    problems += ["the entry showed %r after a read" % e.get("text") for e in entries
                 if e.get("text") != "8"]

    samples = {op: [] for op in OPERATIONS}
    for index, click in enumerate(clicks):
        op = OPERATIONS[index % 3]
        entries = log[cuts[index]:cuts[index + 1]] if index + 1 < len(cuts) else []
        segment = frames(entries)
        total = sum(line_bytes(e) for e in segment)
        replies = sum(line_bytes(e) for e in segment if e["dir"] == "out")
        wait = READ_WAIT_S if op == "read" else 0.0
        samples[op].append({
            "ms": click["ms"],
            "frames": len(segment),
            "bytes": total,
            "floor_ms": 1000.0 * (wait + total * BITS_PER_BYTE / baud),
            "paced_floor_ms": 1000.0 * (wait + replies * BITS_PER_BYTE / baud),
            "segment": segment,
            "turnarounds_ms": turnarounds_ms(entries),
            "cpu_ms": 1000.0 * (cpu[index + 1] - cpu[index])
            if index + 1 < len(cpu) and None not in cpu[index:index + 2] else None,
        })
    return samples, problems, [r for r in resident if r], log


def turnarounds_ms(entries):
    """The host's turnaround in each exchange of an operation, from the radio's log: from the
    moment the radio's reply had wholly left it (its `sent` event) to the first byte of the next
    request (that request's `first_t`). The Read's wait after the programming-mode command is a
    pause on purpose, not a turnaround, and is left out; so is the first request, which follows
    the button press rather than a reply."""
    turnarounds = []
    replied = False
    sent = None
    after_settle_command = False
    for entry in entries:
        if entry.get("dir") == "out":
            replied = True
        elif entry.get("event") == "sent" and replied:
            sent = entry["t"]
            replied = False
        elif entry.get("dir") == "in" and "first_t" in entry:
            if sent is not None and not after_settle_command:
                turnarounds.append(1000.0 * (entry["first_t"] - sent))
            after_settle_command = (entry.get("type") == "command" and
                                    entry.get("bytes", "").startswith(PROGRAMMING_MODE))
            sent = None
    return turnarounds


def operations_table(baud, samples):
    rows = []
    for op in OPERATIONS:
        runs = samples[op]
        if not runs:
            rows.append([op, "no samples"] + [""] * 8)
            continue
        med, low = median_min([r["ms"] for r in runs])
        floor = statistics.median(r["floor_ms"] for r in runs)
        paced = statistics.median(r["paced_floor_ms"] for r in runs)
        rows.append([OPERATION_NAMES[op],
                     "%d frames, %d bytes" % (runs[0]["frames"], runs[0]["bytes"]),
                     "%.1f" % floor, "%.1f" % paced, "%d" % med, "%d" % low,
                     "%.3f" % (med / floor), "%.3f" % (low / floor), "%.3f" % (med / paced)])
    return table(["at %d baud" % baud, "on the line", "floor ms", "paced floor ms", "median ms",
                  "min ms", "median ÷ floor", "min ÷ floor", "median ÷ paced floor"], rows)


def host_cost_table(baud, samples):
    """Per operation: the host's turnaround per exchange and the program's CPU time."""
    rows = []
    for op in OPERATIONS:
        runs = samples[op]
        turnarounds = [t for r in runs for t in r["turnarounds_ms"]]
        cpu = [r["cpu_ms"] for r in runs if r["cpu_ms"] is not None]
        rows.append([OPERATION_NAMES[op],
                     "%d" % len(turnarounds),
                     "%.3f" % statistics.median(turnarounds) if turnarounds else "-",
                     "%.3f" % percentile(turnarounds, 90) if turnarounds else "-",
                     "%d" % len(cpu),
                     "%.1f" % statistics.median(cpu) if cpu else "-",
                     "%.1f" % percentile(cpu, 90) if cpu else "-"])
    return table(["at %d baud" % baud, "exchanges timed", "turnaround median ms",
                  "turnaround 90th pct ms", "operations", "CPU median ms", "CPU 90th pct ms"],
                 rows)


# ---------------------------------------------------------------- wire efficiency

def wire_efficiency(samples):
    """Bytes on the line per 32 bytes of radio memory, per exchange and per whole operation."""
    read = samples["read"][0]["segment"]
    write = samples["write"][0]["segment"]

    def exchange_bytes(segment, kind, size):
        for i, entry in enumerate(segment):
            if entry["dir"] == "in" and entry["type"] == kind and (
                    (kind == "read" and entry["bytes"] == "%02x" % size) or
                    (kind == "write" and len(entry["bytes"]) // 2 == size)):
                return line_bytes(entry) + line_bytes(segment[i + 1])
        return None

    def memory_bytes(segment, kind):
        total = 0
        for entry in segment:
            if entry["dir"] == "in" and entry["type"] == kind:
                total += int(entry["bytes"], 16) if kind == "read" else len(entry["bytes"]) // 2
        return total

    rows = []
    one_read = exchange_bytes(read, "read", 32)
    one_write = exchange_bytes(write, "write", 32)
    for label, on_line, memory in (
            ("one 32-byte read exchange", one_read, 32),
            ("one 32-byte write exchange", one_write, 32),
            ("whole Read (commands included)", sum(line_bytes(e) for e in read),
             memory_bytes(read, "read")),
            ("whole Write (command 12h included)", sum(line_bytes(e) for e in write),
             memory_bytes(write, "write"))):
        if not on_line or not memory:
            rows.append([label, "not seen", "", "", ""])
            continue
        per_32 = on_line * 32.0 / memory
        rows.append([label, "%d bytes for %d" % (on_line, memory), "%.1f" % per_32,
                     "%d" % MODBUS_READ_32, "%.2f" % (per_32 / MODBUS_READ_32)])
    return table(["exchange", "on the line", "bytes per 32", "Modbus RTU read of 32",
                  "ratio"], rows)


# ---------------------------------------------------------------- start-up

def start_up(args):
    probe = os.path.join(args.win64, "bench", "startup_probe.exe")
    programs = [os.path.join(args.win64, "hushwell.exe"),
                os.path.join(args.win64, "bench", "bare_dialog.exe")]
    run = subprocess.run([WINE64, probe, "--runs", str(args.runs), "--warmup", "1"] +
                         [windows_path(p) for p in programs],
                         capture_output=True, text=True, timeout=300)
    launches = [json.loads(line) for line in run.stdout.splitlines() if line.startswith("{")]
    by_program = {}
    for launch in launches:
        if launch.get("ok") and not launch.get("warmup"):
            name = launch["exe"].replace("\\", "/").rsplit("/", 1)[-1]
            by_program.setdefault(name, []).append(launch)
    problems = [l.get("error", "not answering") for l in launches if not l.get("ok")]
    rows = []
    medians = {}
    for name in ("hushwell.exe", "bare_dialog.exe"):
        got = by_program.get(name, [])
        ready_med, ready_min = median_min([l["ready_ms"] for l in got])
        window_med, _ = median_min([l["window_ms"] for l in got])
        sets = [l["working_set"] for l in got]
        medians[name] = ready_med
        rows.append([name, len(got), "%.0f" % window_med, "%.0f" % ready_med,
                     "%.0f" % ready_min,
                     mib(statistics.median(sets)) if sets else "n/a"])
    ratio = medians["hushwell.exe"] / medians["bare_dialog.exe"]
    text = table(["program (x86_64)", "runs", "window shown, median ms", "ready, median ms",
                  "ready, min ms", "working set at ready"], rows)
    text += "\n\nStart-up ratio, hushwell.exe ÷ bare dialog (medians): %.2f" % ratio
    return text, problems


# ---------------------------------------------------------------- main

def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--win32", required=True)
    parser.add_argument("--win64", required=True)
    parser.add_argument("--host", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--link", required=True, help="the path COM1 of the prefix leads to")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--bauds", default="9600,115200")
    args = parser.parse_args()
    os.makedirs(args.work, exist_ok=True)

    facts = machine()
    print("# Hushwell benchmark figures\n")
    print("Machine: %d cores, %s; %s; Linux %s; load average at start %s.\n"
          % (facts["nproc"], facts["cpu"], facts["wine"], facts["kernel"], facts["load"]))
    print("Each timing: %d runs after one warm-up start, median and minimum.\n" % args.runs)

    text, _ = footprint(args.win32, args.win64)
    print("## Footprint (goal: at most 64 KiB each, system DLLs only)\n\n" + text + "\n")
    print("## Where the i686 bytes come from (linker maps of the Release build)\n")
    print(sizes(args.win32) + "\n")
    print("Each piece the linker placed in the file, summed by the object or archive it came "
          "from; sections with no bytes in the file (.bss, debug) left out. The rest: the PE "
          "headers and the padding of each section to the file alignment.\n")

    problems = []
    first = None
    resident_after_read = None
    for baud in (int(b) for b in args.bauds.split(",")):
        samples, found, resident, _ = time_operations(args, baud)
        problems += ["at %d baud: %s" % (baud, p) for p in found]
        first = first or samples
        if resident and resident_after_read is None:
            resident_after_read = resident[1] if len(resident) > 1 else resident[0]
        print("## Button press to completion at %d baud\n" % baud)
        print(operations_table(baud, samples) + "\n")
        print("## Turnaround per exchange and CPU time per operation at %d baud\n" % baud)
        print(host_cost_table(baud, samples) + "\n")

    print("Floor: the one-second wait (Read only) plus every frame of the operation, both "
          "ways, at the line rate (10 bits a byte), counted from the simulated radio's log. "
          "Paced floor: the same with the radio's replies only, the part that the simulated "
          "radio paces (a pseudo-terminal carries the requests at once, so a time below the "
          "floor is possible here). Times are from the end-to-end driver: the button's command "
          "sent to the dialog (SendMessage from a worker thread) until its handler returned, "
          "to the millisecond.\n")
    print("Turnaround: from the moment the simulated radio had written the last byte of its "
          "reply to the line (its log's `sent` event) to the arrival of the next request's first "
          "byte (`first_t`), per exchange, microsecond timestamps of the radio's own log. Left out: "
          "the Read's one-second wait after the programming-mode command, and each operation's "
          "first request, which follows the button press (Reset Radio is a single exchange, so "
          "it has none). CPU: user "
          "plus kernel time of hushwell.exe's wine process (x86_64) (all its threads, ended ones "
          "included) between the marks around the operation, from the kernel's per-process CPU "
          "clock (clock_gettime on the process's clock id, nanoseconds); the wineserver's and "
          "the driver's time are not in it. 90th percentile: nearest rank.\n")
    if first and first["read"]:
        print("## Wire efficiency (bytes on the line per 32 bytes of radio memory)\n")
        print(wire_efficiency(first) + "\n")

    text, found = start_up(args)
    problems += ["start-up: %s" % p for p in found]
    print("## Start-up: launch to the window ready for input\n\n" + text + "\n")

    print("## Working set\n")
    if resident_after_read:
        print("hushwell.exe (x86_64 under Wine) after a Read: %s resident (VmRSS of its wine "
              "process; the start-up table gives Wine's own working-set figure at start for "
              "both programs).\n" % mib(resident_after_read * 1024))
    else:
        print("hushwell.exe after a Read: not measured (its process was not found).\n")

    if problems:
        print("## Problems seen during the run (figures above may be incomplete)\n")
        for problem in problems:
            print("- " + problem)
    return 0


if __name__ == "__main__":
    sys.exit(main())
