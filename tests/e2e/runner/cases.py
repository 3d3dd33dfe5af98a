"""The end-to-end cases, one row each. A case runs one or more phases; each phase starts a fresh
simulated radio (or none: COM1 absent), runs the program through the driver with its steps, and
checks the screen (per step), the line (the requests the radio took, in order) and the radio's
memory afterwards.

A step is a driver step, or (step, expectations) with any of:
  popups     the windows shown during the step, in order (none when not given)
  text       the entry's text (for "entry")
  focus      the id of the control with the focus (for "focus")
  selection  [start, end] of the entry's selection (for "focus")
  exit_code  the program's exit code (for "wait-exit")
  ended      the program ended during the step
  within_ms  the step was over within this bound (a documented contract, generous margin)
or ("action", name): the driver waits while the runner does something to the world."""

from expectations import (ABOUT_CAPTION, ABOUT_TEXTS, COMMAND_12, HELP_CAPTION, HELP_TEXTS,
                          NO_PORT, NO_PROGRAMMING_MODE, NO_RESET, NOT_A_NUMBER, OUT_OF_RANGE,
                          PROGRAMMING_MODE, READ_FIRST, RESET, check_line, command, complete_read, messages,
                          memory_unchanged, memory_written, write_back)


class Radio:
    """The simulated radio of a phase: the built-in radio, or the memory the previous phase's
    radio saved; optionally silent (hears nothing, answers nothing)."""

    def __init__(self, silent=False, from_previous=False):
        self.silent = silent
        self.from_previous = from_previous


class Phase:
    """line(memory) gives the exact requests expected, or line_check(memory, logged) judges them
    itself; memory(initial, final) judges the radio's memory after the phase."""

    def __init__(self, steps, radio=Radio(), line=None, line_check=None,
                 memory=memory_unchanged):
        self.steps = steps
        self.radio = radio  # None: no radio and no COM1 in the prefix
        expected = line if line is not None else (lambda memory: [])
        self.line_check = line_check or (lambda memory, logged: check_line(expected(memory),
                                                                           logged))
        self.memory = memory


class Case:
    def __init__(self, name, *phases):
        self.name = name
        self.phases = phases


def entry(text):
    return ("entry", {"text": text})


ENTRY = 1005


def focus_on(control):
    return ("focus", {"focus": control})


def refused_entry_selected(text):
    """After a refused entry the focus is back in the entry with the operator's text selected."""
    return [entry(text), ("focus", {"focus": ENTRY, "selection": [0, len(text)]})]


CLOSE = ["close", ("wait-exit", {"exit_code": 0})]
NOTHING = {"popups": []}


def only_programming_mode(memory, logged):
    """The component sends the command up to three times on a silent line; nothing follows."""
    problems = check_line([command(PROGRAMMING_MODE)] * len(logged), logged)
    if not 1 <= len(logged) <= 3:
        problems.append("expected the programming-mode command 1 to 3 times, got %d requests"
                        % len(logged))
    return problems

# The component gives up on a silent radio within 2 s per command; the read shows its message
# well within this.
SILENT_READ_BOUND_MS = 10000

CASES = [
    Case("Read shows the radio's value",
         Phase([entry("0"), ("click read", NOTHING), entry("8")] + CLOSE,
               line=complete_read)),

    Case("Default shows 8 and sends nothing; Write still wants a read",
         Phase([("click default", NOTHING), entry("8"),
                ("click write", {"popups": messages(READ_FIRST)}), entry("8")] + CLOSE)),

    Case("A written value is in both places and a fresh radio and program read it back",
         # The second Write works from the image the first one changed, and sends the same.
         Phase(["click read", entry("8"), "type 3", ("click write", NOTHING), entry("3"),
                ("click write", NOTHING)] + CLOSE,
               line=lambda m: complete_read(m) + write_back(m, 3) + write_back(m, 3),
               memory=memory_written(3)),
         Phase(["click read", entry("3")] + CLOSE,
               radio=Radio(from_previous=True), line=complete_read)),

    Case("Write before any Read shows only the gate message",
         Phase([("click write", {"popups": messages(READ_FIRST)})] + CLOSE)),

    Case("Reset Radio before any Read sends the reset and shows nothing",
         Phase([("click reset", NOTHING), ("click write", {"popups": messages(READ_FIRST)}),
                entry("0")] + CLOSE,
               line=lambda m: [command(RESET)])),

    Case("Default after a Read writes the factory value over another one",
         Phase(["click read", "type 5", "click write"] + CLOSE,
               line=lambda m: complete_read(m) + write_back(m, 5), memory=memory_written(5)),
         Phase(["click read", entry("5"), ("click default", NOTHING), entry("8"),
                ("click write", NOTHING)] + CLOSE,
               radio=Radio(from_previous=True),
               line=lambda m: complete_read(m) + write_back(m, 8), memory=memory_written(8))),

    Case("Reset Radio after a Read: the reset goes out, then Write is refused",
         Phase(["click read", entry("8"), ("click reset", NOTHING),
                ("click write", {"popups": messages(READ_FIRST)}), entry("8")] + CLOSE,
               line=lambda m: complete_read(m) + [command(RESET)])),

    Case("Read with no radio answering fails at the programming-mode command",
         Phase([("click read", {"popups": messages(NO_PROGRAMMING_MODE),
                                "within_ms": SILENT_READ_BOUND_MS}),
                entry("0"), ("click write", {"popups": messages(READ_FIRST)})] + CLOSE,
               radio=Radio(silent=True), line_check=only_programming_mode)),

    Case("Read and Reset Radio with COM1 absent",
         Phase([("click read", {"popups": messages(NO_PROGRAMMING_MODE)}), entry("0"),
                ("click reset", {"popups": messages(NO_RESET)})] + CLOSE,
               radio=None)),

    Case("Write with COM1 gone after a Read shows 'Could not open COM1' twice",
         Phase(["click read", entry("8"), ("action", "remove-com1"),
                ("click write", {"popups": messages(NO_PORT, NO_PORT)}), entry("8")] + CLOSE,
               line=complete_read)),

    Case("Entries of 16, letters and nothing are refused and nothing is written",
         Phase(["click read"]
               + ["type 16", ("click write", {"popups": messages(OUT_OF_RANGE)})]
               + refused_entry_selected("16")
               + ["type abc", ("click write", {"popups": messages(NOT_A_NUMBER)})]
               + refused_entry_selected("abc")
               + ["type", ("click write", {"popups": messages(NOT_A_NUMBER)})]
               + refused_entry_selected("") + CLOSE,
               # Each Write sends command 12h before it takes the entry, and then stops.
               line=lambda m: complete_read(m) + [command(COMMAND_12)] * 3)),

    Case("The system menu opens the About box and the help dialog",
         Phase([("sysmenu 16", {"popups": [(ABOUT_CAPTION, ABOUT_TEXTS)]}),
                ("sysmenu 9", {"popups": [(HELP_CAPTION, HELP_TEXTS)]}),
                # The About test masks the low four bits of the command id.
                ("sysmenu 0x1F", {"popups": [(ABOUT_CAPTION, ABOUT_TEXTS)]}),
                entry("0")] + CLOSE)),

    Case("Escape ends the program",
         Phase([("key escape", {"ended": True}), ("wait-exit", {"exit_code": 0})])),

    Case("The close box ends the program after a Read, sending nothing more",
         Phase(["click read", entry("8")] + CLOSE, line=complete_read)),

    Case("Enter in the entry starts a Read",
         Phase(["focus-entry", focus_on(ENTRY), ("key return", NOTHING), entry("8")] + CLOSE,
               line=complete_read)),

    Case("The arrow keys do nothing before a Read",
         Phase(["focus-entry", "key up", entry("0"), "key down", entry("0")] + CLOSE)),

    Case("The arrow keys step within 0 to 15 after a Read",
         Phase(["click read", "focus-entry", "key up", entry("9"), "key down", entry("8"),
                "type 15", "key up", entry("15"), "type 0", "key down", entry("0"),
                "key up", entry("1")] + CLOSE,
               line=complete_read)),
]
