"""Runs the end-to-end cases against hushwell.exe, the simulated radio and the registered
component, and prints one line per case and the summary "N passed, M failed".

Environment (set by tests/e2e/run): WINEPREFIX, HUSHWELL_WINE64, HUSHWELL_PROGRAM,
HUSHWELL_DRIVER, HUSHWELL_RADIOSIM, HUSHWELL_E2E_WORK. Arguments: words that select cases by
name (all cases when none)."""

import os
import shutil
import sys
import time

from cases import CASES
from driver_session import run_driver
from expectations import check_popups
from radio_sim import SimError, SimulatedRadio


class Environment:
    def __init__(self):
        self.prefix = os.environ["WINEPREFIX"]
        self.wine64 = os.environ["HUSHWELL_WINE64"]
        self.program = os.environ["HUSHWELL_PROGRAM"]
        self.driver = os.environ["HUSHWELL_DRIVER"]
        self.radiosim = os.environ["HUSHWELL_RADIOSIM"]
        self.work = os.environ["HUSHWELL_E2E_WORK"]
        self.com1 = os.path.join(self.prefix, "dosdevices", "com1")

    def remove_com1(self):
        if os.path.lexists(self.com1):
            os.unlink(self.com1)


def check_steps(phase_steps, result):
    problems = []
    start = result.start()
    if start is None:
        return ["the driver reported nothing (status %s): %s"
                % (result.status, result.stderr.strip()[-400:])]
    if not start.get("ok"):
        return ["the program did not start: %s" % start.get("error")]
    problems += ["at start: " + p for p in check_popups([], start.get("popups", []))]

    expectations = [step[1] if isinstance(step, tuple) and step[0] != "action" else {}
                    for step in phase_steps]
    names = [step if isinstance(step, str) else step[0] for step in phase_steps]
    # Each action is two driver steps (mark, await); line the observations up with the table.
    observed = [item for item in result.steps() if item.get("do") != "await"]
    for index, item in enumerate(observed):
        if index >= len(names):
            break
        where = "step %d '%s'" % (index + 1, names[index] if names[index] != "action"
                                  else "action " + phase_steps[index][1])
        if not item.get("ok"):
            problems.append("%s failed: %s" % (where, item.get("error")))
            break
        want = expectations[index]
        problems += ["%s: %s" % (where, p)
                     for p in check_popups(want.get("popups", []), item.get("popups", []))]
        if "text" in want and item.get("text") != want["text"]:
            problems.append("%s: the entry shows %r, expected %r"
                            % (where, item.get("text"), want["text"]))
        for key, what in (("focus", "the focus is on control"), ("selection", "the selection is")):
            if key in want and item.get(key) != want[key]:
                problems.append("%s: %s %s, expected %s" % (where, what, item.get(key), want[key]))
        if "exit_code" in want and item.get("exit_code") != want["exit_code"]:
            problems.append("%s: exit code %s, expected %s"
                            % (where, item.get("exit_code"), want["exit_code"]))
        if want.get("ended") and not item.get("ended"):
            problems.append("%s: the program did not end" % where)
        if "within_ms" in want and item.get("ms", 0) > want["within_ms"]:
            problems.append("%s took %d ms, more than %d ms"
                            % (where, item["ms"], want["within_ms"]))
    if len(observed) < len(names) and not problems:
        problems.append("the driver stopped after %d of %d steps" % (len(observed), len(names)))
    if result.timed_out:
        problems.append("the driver hung and was stopped")
    end = result.end()
    if end is not None and end.get("left_running"):
        problems.append("the program was still running after the last step")
    return problems


def run_phase(env, case_folder, number, phase, previous_memory):
    folder = os.path.join(case_folder, "phase-%d" % number)
    os.makedirs(folder)
    env.remove_com1()
    radio = None
    if phase.radio is not None:
        image = None
        if phase.radio.from_previous:
            image = os.path.join(folder, "start-image.bin")
            with open(image, "wb") as out:
                out.write(previous_memory)
        radio = SimulatedRadio(env.radiosim, folder, env.com1, image=image,
                               silent=phase.radio.silent)
        radio.start()
    actions = {"remove-com1": env.remove_com1}
    try:
        result = run_driver(env.wine64, env.driver, env.program, folder, phase.steps, actions)
    finally:
        if radio is not None:
            radio.stop()
    problems = check_steps(phase.steps, result)
    final_memory = None
    if radio is not None:
        problems += ["line: " + p for p in phase.line_check(radio.initial_memory,
                                                            radio.requests())]
        removes_port = any(step == ("action", "remove-com1") for step in phase.steps)
        if not removes_port and not radio.link_kept:
            problems.append("COM1 no longer led to the simulated radio at the end of the phase")
        if radio.damaged():
            problems.append("line: the radio took damaged frames")
        if radio.exit_status != 0:
            problems.append("the simulated radio ended with status %s: %s"
                            % (radio.exit_status, radio.stderr_text()))
        if radio.final_memory is None:
            problems.append("the simulated radio saved no memory")
        else:
            problems += ["memory: " + p
                         for p in phase.memory(radio.initial_memory, radio.final_memory)]
        final_memory = radio.final_memory
    return ["phase %d: %s" % (number, p) for p in problems], final_memory


def run_case(env, index, case):
    folder = os.path.join(env.work, "case-%02d" % index)
    shutil.rmtree(folder, ignore_errors=True)
    problems = []
    memory = None
    for number, phase in enumerate(case.phases, start=1):
        try:
            phase_problems, memory = run_phase(env, folder, number, phase, memory)
        except SimError as error:
            phase_problems = ["phase %d: %s" % (number, error)]
        problems += phase_problems
        if phase_problems:
            break
    return problems, folder


def main(selectors):
    env = Environment()
    os.makedirs(env.work, exist_ok=True)
    passed = failed = 0
    started = time.monotonic()
    for index, case in enumerate(CASES, start=1):
        if selectors and not any(s.lower() in case.name.lower() for s in selectors):
            continue
        case_started = time.monotonic()
        problems, folder = run_case(env, index, case)
        seconds = time.monotonic() - case_started
        if problems:
            failed += 1
            print("FAIL %s (%.1f s; files in %s)" % (case.name, seconds, folder))
            for problem in problems:
                print("     " + problem)
        else:
            passed += 1
            print("ok   %s (%.1f s)" % (case.name, seconds))
        sys.stdout.flush()
    env.remove_com1()
    print("end-to-end run took %.1f s" % (time.monotonic() - started))
    print("%d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
