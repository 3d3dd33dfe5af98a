"""One simulated radio for one test: started on a pseudo-terminal published as the prefix's
COM1, with its JSON-lines log and its saved memory as the second witness."""

import json
import os
import signal
import subprocess
import time

READY_TIMEOUT_S = 10
STOP_TIMEOUT_S = 10


class SimError(Exception):
    pass


class SimulatedRadio:
    def __init__(self, binary, folder, link, image=None, silent=False):
        self.binary = binary
        self.folder = folder
        self.link = link
        self.image = image
        self.silent = silent
        self.log_path = os.path.join(folder, "radiosim.log")
        self.save_path = os.path.join(folder, "memory.bin")
        self.stderr_path = os.path.join(folder, "radiosim.stderr")
        self.process = None
        self.initial_memory = None
        self.final_memory = None
        self.port = None  # the pseudo-terminal the link leads to
        self.link_kept = False  # the link still led there when the radio was stopped
        self.exit_status = None

    def start(self):
        os.makedirs(self.folder, exist_ok=True)
        args = [self.binary, "--link", self.link, "--baud", "9600", "--log", self.log_path,
                "--save", self.save_path]
        if self.image:
            args += ["--image", self.image]
        if self.silent:
            args.append("--silent")
        with open(self.stderr_path, "wb") as stderr:
            self.process = subprocess.Popen(args, stdin=subprocess.DEVNULL,
                                            stdout=subprocess.DEVNULL, stderr=stderr)
        deadline = time.monotonic() + READY_TIMEOUT_S
        while not self._ready():
            if self.process.poll() is not None:
                raise SimError("the simulated radio stopped at start (status %d): %s"
                               % (self.process.returncode, self.stderr_text()))
            if time.monotonic() > deadline:
                self.stop()
                raise SimError("the simulated radio was not ready within %d s" % READY_TIMEOUT_S)
            time.sleep(0.02)
        self.port = os.readlink(self.link)
        # Saved at start: the memory before the program touched it.
        with open(self.save_path, "rb") as saved:
            self.initial_memory = saved.read()

    def _ready(self):
        return (os.path.islink(self.link) and os.path.exists(self.save_path)
                and any(entry.get("event") == "ready" for entry in self.log()))

    def stop(self):
        if self.process is None or self.exit_status is not None:
            return
        self.link_kept = (self.port is not None and os.path.islink(self.link)
                          and os.readlink(self.link) == self.port)
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(STOP_TIMEOUT_S)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.exit_status = self.process.returncode
        if os.path.exists(self.save_path):
            with open(self.save_path, "rb") as saved:
                self.final_memory = saved.read()

    def stderr_text(self):
        try:
            with open(self.stderr_path, encoding="utf-8", errors="replace") as text:
                return text.read().strip()
        except OSError:
            return ""

    def log(self):
        entries = []
        try:
            with open(self.log_path, encoding="utf-8") as lines:
                for line in lines:
                    if line.endswith("\n"):  # a line still being written is left for later
                        entries.append(json.loads(line))
        except FileNotFoundError:
            pass
        return entries

    def requests(self):
        """Every request frame the radio took off the line, in order; a retransmission that the
        radio answered from its cache ("repeat") is the same request and is left out."""
        return [entry for entry in self.log()
                if entry.get("dir") == "in" and entry.get("verdict") != "repeat"]

    def damaged(self):
        return [entry for entry in self.log()
                if entry.get("dir") == "in" and entry.get("type") == "damaged"]
