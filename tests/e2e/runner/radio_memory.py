"""The radio's memory as the tests read it: pointers, the squelch record, the squelch pot
vector and their checksums, computed here on their own and never taken from the simulator."""

INDEX_POINTER_AT = 2  # root block
VECTOR_POINTER_AT = 39  # root block
RECORD_POINTER_AT = 52  # index block
SQUELCH_AT = 22  # squelch record
POT_SETTING_AT = 7  # squelch pot vector
VECTOR_CHECKSUM_AT = 13
RECORD_MARKER = 0x33  # record byte 1 as the program writes it


def pointer(memory, at):
    return memory[at] * 256 + memory[at + 1]


def sum_minus_55(values, start=0):
    return (start + sum(values) - 0x55) % 256


class Layout:
    """Where the blocks of one memory image lie."""

    def __init__(self, memory):
        self.index = pointer(memory, INDEX_POINTER_AT)
        self.vector = pointer(memory, VECTOR_POINTER_AT)
        self.record = pointer(memory, self.index + RECORD_POINTER_AT)
        self.record_length = memory[self.record]  # N: the checksum lies at byte N + 4

    def reads(self):
        """The addresses of the seven 32-byte reads of a complete read, in order."""
        return [0, 32, self.index, self.index + 32, self.record, self.record + 32, self.vector]


def record_checksum_ok(memory):
    layout = Layout(memory)
    n = layout.record_length
    start = layout.record
    # Covered: byte 1 and bytes 4 to N + 3.
    covered = memory[start + 4:start + 4 + n]
    return memory[start + n + 4] == sum_minus_55(covered, memory[start + 1])


def vector_checksum_ok(memory):
    start = Layout(memory).vector
    return memory[start + VECTOR_CHECKSUM_AT] == sum_minus_55(
        memory[start:start + VECTOR_CHECKSUM_AT])


def squelch_in_record(memory):
    return memory[Layout(memory).record + SQUELCH_AT] & 0x0F


def squelch_in_vector(memory):
    return memory[Layout(memory).vector + POT_SETTING_AT] >> 4


def expected_write_blocks(memory, value):
    """The three blocks a write of `value` sends after a read of `memory`, as (address, bytes):
    the pot vector with its setting and checksum, then the record's first 32 bytes, then the
    rest of the record up to and including its checksum."""
    layout = Layout(memory)
    n = layout.record_length
    vector = bytearray(memory[layout.vector:layout.vector + VECTOR_CHECKSUM_AT])
    vector[POT_SETTING_AT] = value * 16
    vector.append(sum_minus_55(vector))

    record = bytearray(memory[layout.record:layout.record + 64])
    record[1] = RECORD_MARKER
    record[SQUELCH_AT] = (record[SQUELCH_AT] & 0xE0) | value | 0x10
    record[n + 4] = sum_minus_55(record[4:n + 4], record[1])
    return [(layout.vector, bytes(vector)),
            (layout.record, bytes(record[:32])),
            (layout.record + 32, bytes(record[32:n + 5]))]


def differences(before, after):
    """Addresses whose byte differs."""
    return [address for address in range(len(before)) if before[address] != after[address]]
