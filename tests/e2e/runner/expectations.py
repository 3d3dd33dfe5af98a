"""What a case expects to see: the messages and dialogs on the screen, the entry's text, the
request frames on the line and the radio's memory afterwards. Each check returns a list of
problems, empty when all is as expected."""

import radio_memory

# The program's messages, as an operator reads them.
NO_PROGRAMMING_MODE = "Could not enter programming mode - check serial cable"
NO_PORT = "Could not open COM1"
READ_FIRST = "Must read current Squelch value first"
NO_RESET = "Couldn't reset the radio, sorry"
NOT_A_NUMBER = "Please enter a whole number of 0 or more."
OUT_OF_RANGE = "Please enter a whole number between 0 and 15."
MESSAGE_CAPTION = "hushwell"  # message boxes carry the program's name

ABOUT_CAPTION = "About Hushwell"
HELP_CAPTION = "Hushwell Help"
ANY_TEXT = object()  # a line whose wording is the program's own choice
ABOUT_TEXTS = ["Hushwell Version 1.0", ANY_TEXT, ANY_TEXT]
HELP_TEXTS = [
    "This applet is used to adjust the Squelch setting on Vexa Tidemark Radios.",
    "Operation is very straightforward:",
    "1) Read the current value from the radio (this places the radio in test mode).",
    "2) Adjust the value to the desired setting in the range 0 - 15.",
    "3) Write the desired value back to the radio.",
    "4)  Reset the radio to exit test mode.",
    "You must read from the radio before you can write back to it.",
    'Use the "Reset Radio" button to exit test mode.',
    'The "Default" button may be used to set the display to the factory squelch value (8).  You',
    'must press "Write" to save this value to the radio.',
]

# Command frames carry the four command bytes and one more (count 5).
PROGRAMMING_MODE = "01020140"
COMMAND_12 = "00120106"
RESET = "00000508"
COMMAND_COUNT = 5
READ_SIZE = "20"  # every read asks for 32 bytes


class Frame:
    """An expected request: its type, address, and payload (a hex prefix and a byte count)."""

    def __init__(self, kind, address, payload, count):
        self.kind = kind
        self.address = address
        self.payload = payload
        self.count = count

    def matches(self, logged):
        data = logged.get("bytes", "")
        return (logged.get("type") == self.kind and logged.get("addr") == self.address
                and data.startswith(self.payload) and len(data) == 2 * self.count)

    def __str__(self):
        return "%s@%d %s (%d bytes)" % (self.kind, self.address, self.payload, self.count)


def command(code):
    return Frame("command", 0, code, COMMAND_COUNT)


def read_at(address):
    return Frame("read", address, READ_SIZE, 1)


def write_of(address, data):
    return Frame("write", address, data.hex(), len(data))


def complete_read(memory):
    """Programming mode, command 12h, then the seven reads of the walk through `memory`."""
    return ([command(PROGRAMMING_MODE), command(COMMAND_12)]
            + [read_at(address) for address in radio_memory.Layout(memory).reads()])


def write_back(memory, value):
    """Command 12h, then the three blocks that write `value` after a read of `memory`."""
    return [command(COMMAND_12)] + [write_of(address, data) for address, data in
                                    radio_memory.expected_write_blocks(memory, value)]


def describe(logged):
    return "%s@%s %s" % (logged.get("type"), logged.get("addr"), logged.get("bytes"))


def check_line(expected, logged):
    problems = []
    for index in range(max(len(expected), len(logged))):
        want = expected[index] if index < len(expected) else None
        got = logged[index] if index < len(logged) else None
        if want is None:
            problems.append("unexpected request #%d on the line: %s" % (index + 1, describe(got)))
        elif got is None:
            problems.append("request #%d never came: %s" % (index + 1, want))
        elif not want.matches(got):
            problems.append("request #%d: expected %s, got %s" % (index + 1, want, describe(got)))
    return problems


def check_popups(expected, seen):
    """expected: list of (caption, texts) in order; texts may hold ANY_TEXT."""
    def shown(popup):
        return "%r %r" % (popup.get("caption"), popup.get("texts"))

    problems = []
    for index in range(max(len(expected), len(seen))):
        want = expected[index] if index < len(expected) else None
        got = seen[index] if index < len(seen) else None
        if want is None:
            problems.append("unexpected window: " + shown(got))
        elif got is None:
            problems.append("missing window %r %r" % (want[0], [t for t in want[1]
                                                                 if t is not ANY_TEXT]))
        elif (got.get("caption") != want[0] or len(got.get("texts", [])) != len(want[1])
              or any(w is not ANY_TEXT and w != g for w, g in zip(want[1], got["texts"]))):
            problems.append("window %d: expected %r %r, got %s"
                            % (index + 1, want[0],
                               ["<any>" if t is ANY_TEXT else t for t in want[1]], shown(got)))
    return problems


def messages(*texts):
    return [(MESSAGE_CAPTION, [text]) for text in texts]


def memory_unchanged(initial, final):
    changed = radio_memory.differences(initial, final)
    if changed:
        return ["the radio's memory changed at %s" % ", ".join(hex(a) for a in changed[:8])]
    return []


def memory_written(value):
    """The value is in both places, both checksums are valid, and nothing else changed but the
    bytes the three blocks carry."""

    def check(initial, final):
        problems = []
        if not radio_memory.record_checksum_ok(final):
            problems.append("the squelch record's checksum is wrong in the saved memory")
        if not radio_memory.vector_checksum_ok(final):
            problems.append("the squelch pot vector's checksum is wrong in the saved memory")
        if radio_memory.squelch_in_record(final) != value:
            problems.append("the record holds %d, not %d"
                            % (radio_memory.squelch_in_record(final), value))
        if radio_memory.squelch_in_vector(final) != value:
            problems.append("the pot vector holds %d, not %d"
                            % (radio_memory.squelch_in_vector(final), value))
        layout = radio_memory.Layout(final)
        old_byte = initial[layout.record + radio_memory.SQUELCH_AT]
        new_byte = final[layout.record + radio_memory.SQUELCH_AT]
        if new_byte & 0xF0 != (old_byte & 0xE0) | 0x10:
            problems.append("squelch byte %02x: bits 5 to 7 of %02x must stay and bit 4 be set"
                            % (new_byte, old_byte))
        expected = bytearray(initial)
        for address, data in radio_memory.expected_write_blocks(initial, value):
            expected[address:address + len(data)] = data
        changed = radio_memory.differences(bytes(expected), final)
        if changed:
            problems.append("bytes other than the written blocks differ at %s"
                            % ", ".join(hex(a) for a in changed[:8]))
        return problems

    return check
