"""Runs the driver (a Windows console program under wine64) with a case's steps and collects its
observations: one dictionary per step, in order."""

import json
import os
import subprocess
import threading

DRIVER_RUN_TIMEOUT_S = 150


def windows_path(path):
    """A Unix path as Wine sees it on drive Z:, the Unix root."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class DriverResult:
    def __init__(self, observations, status, stderr, timed_out):
        self.observations = observations
        self.status = status
        self.stderr = stderr
        self.timed_out = timed_out

    def steps(self):
        return [item for item in self.observations if "step" in item]

    def end(self):
        ends = [item for item in self.observations if item.get("do") == "end"]
        return ends[0] if ends else None

    def start(self):
        starts = [item for item in self.observations if item.get("do") == "start"]
        return starts[0] if starts else None


def run_driver(wine64, driver_exe, program_exe, folder, steps, actions):
    """Runs `steps`: driver step strings, (step, anything) pairs, or ("action", name) pairs. At
    an action the driver marks a file and waits; this side runs actions[name]() and then lets it
    go on."""
    script = []
    pauses = {}
    for step in steps:
        if isinstance(step, tuple) and step[0] == "action":
            number = len(pauses) + 1
            reached = os.path.join(folder, "reached-%d" % number)
            go_on = os.path.join(folder, "go-on-%d" % number)
            for stale in (reached, go_on):
                if os.path.exists(stale):
                    os.unlink(stale)
            pauses[windows_path(reached)] = (step[1], go_on)
            script += ["mark " + windows_path(reached), "await " + windows_path(go_on)]
        else:
            script.append(step[0] if isinstance(step, tuple) else step)
    args = [wine64, driver_exe, "--exe", windows_path(program_exe)] + script
    process = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, text=True, encoding="utf-8",
                               errors="replace")
    timed_out = threading.Event()

    def stop_hung_driver():
        timed_out.set()
        process.kill()

    watchdog = threading.Timer(DRIVER_RUN_TIMEOUT_S, stop_hung_driver)
    watchdog.start()
    stderr_lines = []
    reader = threading.Thread(target=lambda: stderr_lines.extend(process.stderr))
    reader.start()
    observations = []
    try:
        for line in process.stdout:
            # step, number, verb, argument, ok or failed, milliseconds, text or error, popups
            fields = line.rstrip("\r\n").split("\t")
            if len(fields) != 8 or fields[0] != "step":
                continue
            item = {"step": int(fields[1]), "do": fields[2], "arg": fields[3],
                    "ok": fields[4] == "ok", "ms": int(fields[5]), "text": fields[6],
                    "popups": [fields[7]] if fields[7] else []}
            observations.append(item)
            if item.get("do") == "mark" and item.get("ok") and item.get("arg") in pauses:
                name, go_on = pauses[item["arg"]]
                item["action"] = name
                actions[name]()
                open(go_on, "w").close()
        process.wait()
    finally:
        watchdog.cancel()
        reader.join()
    with open(os.path.join(folder, "driver.jsonl"), "w", encoding="utf-8") as out:
        out.writelines(json.dumps(item) + "\n" for item in observations)
    return DriverResult(observations, process.returncode, "".join(stderr_lines),
                        timed_out.is_set())
