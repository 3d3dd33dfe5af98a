#!/usr/bin/env python3
"""Mutation testing: applies each fault of tests/mutants alone, rebuilds incrementally, runs the
tests until one fails (killed) or all pass (survived), and restores the source. Faults only the
i686 build can show are skipped where this machine cannot run 32-bit code (I686_CANNOT).

Called by scripts/mutate, which sets up the display and the Wine prefix first."""
import argparse
import os
import re
import signal
import subprocess
import sys
import time

ROOT = os.environ.get("HUSHWELL_ROOT") or os.path.dirname(
    os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
# The tests to try first for a fault in each folder; every other test runs after them.
FIRST = {
    "radio": "radio|squelch|layout|command",
    "dialog": "dialog|ui|main",
    "app": "dialog|ui|main|app",
    "framework": "framework|ui|dialog|data",
    "component": "component",
    "protocol": "protocol|frame|cobs|crc",
    "scripts": "wine_prefix|version_mentions",
}
# The setup file's sources: built and run by its own test.
SETUP_FILE = ("package/", "scripts/package")


def load(path):
    mutants = {}
    for number, line in enumerate(open(path, encoding="utf-8"), 1):
        if not line.strip() or line.startswith("#"):
            continue
        fields = [f.strip() for f in line.rstrip("\n").split(" @@ ")]
        if len(fields) != 5:
            sys.exit(f"{path}:{number}: expected 5 fields separated by ' @@ '")
        ident, file, find, replace, fault = fields
        unescape = lambda s: s.replace("\\n", "\n")
        entry = mutants.setdefault(ident, {"id": ident, "fault": fault, "edits": []})
        entry["edits"].append((file, unescape(find), unescape(replace)))
    return list(mutants.values())


def run(command, log, timeout=None):
    with open(log, "a") as out:
        out.write("$ " + " ".join(command) + "\n")
        out.flush()
        try:
            return subprocess.run(command, cwd=ROOT, stdout=out, stderr=subprocess.STDOUT,
                                  timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            out.write("timed out\n")
            return 1


def ctest(build, pattern, exclude, log):
    command = ["ctest", "--test-dir", build, "--stop-on-failure", "-j", "2", "--timeout", "240"]
    if pattern:
        command += (["-E"] if exclude else ["-R"]) + [pattern]
    return run(command, log)


def built(build, log):
    return run(["cmake", "--build", build, "-j", "2"], log) == 0


def first_failing(target, build, first, log):
    """'killed <target>:<test>' when a test of the build fails, else None."""
    for exclude in ([False, True] if first else [None]):
        before = os.path.getsize(log)
        if ctest(build, first, exclude, log) != 0:
            with open(log) as f:
                f.seek(before)
                tail = f.read()
            found = re.findall(r"^\s*\d+/\d+ Test\s+#\d+: (\S+) \.+\*+\w+", tail, re.M)
            return "killed " + target + ":" + (found[0] if found else "ctest")
    return None


def try_mutant(mutant, builds, win32, e2e, log):
    """'killed <test>', 'survived', 'skipped (why)' or 'no build'.

    The x86_64 tests run first. A fault they miss may still show in the i686 release: its
    compiler refuses a wrong calling convention or layout, and where this machine runs 32-bit
    code its tests run too. An id starting with i686- names a fault only the i686 build can show."""
    folder = mutant["edits"][0][0].split("/")[0]
    if mutant["id"].startswith("release-"):  # the release's bytes and signatures: their own test
        if not all(built(b, log) for t, b in builds + [("win32", win32)] if t != "host"):
            return "no build"
        return "killed package" if run([os.path.join(ROOT, "tests/package/run")], log,
                                       timeout=1800) != 0 else "survived"
    if mutant["edits"][0][0].startswith(SETUP_FILE):
        return "killed installer" if run([os.path.join(ROOT, "tests/installer/run")], log,
                                         timeout=600) != 0 else "survived"
    first = FIRST.get(folder, "")
    i686_only = mutant["id"].startswith("i686-")
    if i686_only and not built(win32, log):
        return "killed win32:compile"
    # Only protocol/, the memory layout and the scripts' own tests are built natively as well.
    builds = [(t, b) for t, b in builds if t != "host" or folder in ("protocol", "radio", "scripts")]
    for target, build in builds:
        if not built(build, log):
            return "no build"
    for target, build in builds:
        killed = first_failing(target, build, first, log)
        if killed:
            return killed
    e2e_run = os.path.join(ROOT, "tests/e2e/run")
    if e2e and run([e2e_run], log, timeout=900) != 0:
        return "killed e2e"
    if not i686_only and not built(win32, log):
        return "killed win32:compile"
    cannot = os.environ.get("I686_CANNOT", "")
    if cannot:
        return f"skipped (this machine cannot run 32-bit code: {cannot})" if i686_only else "survived"
    killed = first_failing("win32", win32, first, log)
    if killed:
        return killed
    if e2e and run([e2e_run, "--build", "win32"], log, timeout=900) != 0:
        return "killed e2e-win32"
    return "survived"


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--only", help="comma-separated mutant ids")
    parser.add_argument("--list", action="store_true", help="list the mutants and stop")
    parser.add_argument("--no-e2e", action="store_true", help="do not run the end-to-end tests")
    parser.add_argument("--catalogue", default=os.path.join(ROOT, "tests/mutants"))
    parser.add_argument("--results", default=None, help="write id<TAB>verdict lines here")
    args = parser.parse_args()
    # A stopped run still restores the source (the finally clause below).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    mutants = load(args.catalogue)
    if args.only:
        wanted = set(args.only.split(","))
        mutants = [m for m in mutants if m["id"] in wanted]
    if args.list:
        for m in mutants:
            print(f"{m['id']:30} {m['edits'][0][0]:32} {m['fault']}")
        return 0
    build_dir = os.environ.get("BUILD_DIR", os.path.join(ROOT, "build"))
    builds = [(t, os.path.join(build_dir, t)) for t in ("host", "win64")]
    win32 = os.path.join(build_dir, "win32")
    os.makedirs(os.path.join(build_dir, "mutate"), exist_ok=True)
    log = os.path.join(build_dir, "mutate", "mutate.log")
    open(log, "w").close()
    verdicts = []
    for mutant in mutants:
        originals = {}
        started = time.time()
        try:
            for file, find, replace in mutant["edits"]:
                path = os.path.join(ROOT, file)
                text = originals.setdefault(path, open(path, encoding="utf-8").read())
                current = open(path, encoding="utf-8").read()
                if current.count(find) != 1:
                    raise ValueError(f"{file}: the text to change occurs {current.count(find)} times")
                with open(path, "w", encoding="utf-8") as f:
                    f.write(current.replace(find, replace))
            verdict = try_mutant(mutant, builds, win32, not args.no_e2e, log)
        except ValueError as error:
            verdict = f"not applied ({error})"
        finally:
            for path, text in originals.items():
                with open(path, "w", encoding="utf-8") as f:
                    f.write(text)
        verdicts.append((mutant["id"], verdict))
        print(f"{verdict.split()[0]:9} {mutant['id']:30} {time.time() - started:5.0f} s  "
              f"{' '.join(verdict.split()[1:]) or mutant['fault']}", flush=True)
    for target, build in builds + [("win32", win32)]:
        built(build, log)
    if args.results:
        with open(args.results, "w") as f:
            f.writelines(f"{i}\t{v}\n" for i, v in verdicts)
    killed = sum(v.startswith("killed") for _, v in verdicts)
    survived = sum(v == "survived" for _, v in verdicts)
    skipped = sum(v.startswith("skipped") for _, v in verdicts)
    print(f"mutants: {killed} killed, {survived} survived, {skipped} skipped (need 32-bit code), "
          f"{len(verdicts) - killed - survived - skipped} not built or not applied, "
          f"of {len(verdicts)}")
    return 0 if killed + skipped == len(verdicts) else 1


if __name__ == "__main__":
    sys.exit(main())
