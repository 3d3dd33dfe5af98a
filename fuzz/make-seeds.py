#!/usr/bin/env python3
"""Writes fuzz/corpus/ (committed): frames of every type as the line carries them (COBS, CRC-32,
0x00 delimiter) and a few damaged ones."""
import os
import zlib


def cobs(data):  # frames are shorter than 254 bytes: no full blocks
    return b"".join(bytes([len(block) + 1]) + block for block in data.split(b"\0"))


def frame(ftype, seq, addr, payload=b""):
    raw = bytes([ftype, seq]) + addr.to_bytes(4, "big") + bytes([len(payload)]) + payload
    return cobs(raw + zlib.crc32(raw).to_bytes(4, "big")) + b"\0"


host = {
    "command_programming": frame(0x01, 1, 0, bytes([1, 2, 1, 0x40, 0])),
    "read_root": frame(0x02, 2, 0, bytes([32])),
    "read_index": frame(0x02, 3, 0x120, bytes([32])),
    "read_top": frame(0x02, 4, 0xFFE0, bytes([32])),
    "read_past_end": frame(0x02, 5, 0xFFFF, bytes([32])),
    "write_vector": frame(0x03, 6, 0xA0, bytes(range(1, 14)) + b"\x7e"),
    "write_record_head": frame(0x03, 7, 0x240, bytes([42, 0x33]) + bytes(range(2, 32))),
    "write_zeros": frame(0x03, 8, 0x300, bytes(64)),
    "damaged_crc": frame(0x02, 9, 0, bytes([32]))[:-3] + b"\x55\x55\0",
}
radio = {
    "command_ack": frame(0x81, 1, 0),
    "read_data": frame(0x82, 2, 0, bytes(range(1, 33))),
    "write_ack": frame(0x83, 6, 0xA0, bytes([14, 1, 2, 3, 4])),
    "nak": frame(0xFF, 5, 0xFFFF, bytes([2])),
}
# radio_requests_fuzz: programming mode on (1) or off (0), then what the host sends.
requests = {
    "session": b"\1" + host["read_root"] + host["write_vector"] + host["write_vector"]
    + host["write_record_head"] + host["read_past_end"],
    "from_normal_mode": b"\0" + host["read_index"] + host["command_programming"]
    + host["read_index"] + host["write_zeros"],
    "noise": b"\1" + host["damaged_crc"] + b"\x13\x37" * 50 + b"\0" + host["read_top"],
}
root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")
for target, seeds in (("frame_reader_fuzz", {**host, **radio}), ("radio_requests_fuzz", requests)):
    os.makedirs(os.path.join(root, target), exist_ok=True)
    for name, data in seeds.items():
        with open(os.path.join(root, target, name), "wb") as f:
            f.write(data)
