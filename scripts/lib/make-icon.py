#!/usr/bin/env python3
"""Draws Hushwell's 16 x 16, 24-bit icon (a handheld radio) and writes res/hushwell.ico.

The image is one BITMAPINFOHEADER (40 bytes), 768 bytes of colour and a 64-byte mask: 872
bytes, as the group icon expects.
"""
import struct
import sys

# One character a pixel, top row first. '.' is transparent.
ART = [
    "..K.............",
    "..K.............",
    "..K.............",
    "..K.............",
    "..KKKKKKKKKK....",
    "..KBBBBBBBBK....",
    "..KBGGGGGGBK....",
    "..KBGDGGDGBK....",
    "..KBGGGGGGBK....",
    "..KBBBBBBBBK....",
    "..KBLBLBLBBK....",
    "..KBBBBBBBBK....",
    "..KBLBLBLBBK....",
    "..KBBBBBBBBK....",
    "..KKKKKKKKKK....",
    "................",
]
COLOURS = {  # (red, green, blue)
    "K": (0x20, 0x20, 0x28),  # outline and antenna
    "B": (0x38, 0x48, 0x68),  # body
    "G": (0x60, 0xD0, 0x70),  # display
    "D": (0x20, 0x60, 0x30),  # display digits
    "L": (0x90, 0xA0, 0xB8),  # speaker grille
    ".": (0x00, 0x00, 0x00),
}


def image_bytes():
    header = struct.pack("<IiiHHIIiiII", 40, 16, 32, 1, 24, 0, 768 + 64, 0, 0, 0, 0)
    colour = bytearray()
    mask = bytearray()
    for row in reversed(ART):  # bitmaps are stored bottom-up
        for ch in row:
            r, g, b = COLOURS[ch]
            colour += bytes((b, g, r))
        bits = 0
        for ch in row:
            bits = (bits << 1) | (1 if ch == "." else 0)
        mask += struct.pack(">H", bits) + b"\x00\x00"  # rows padded to 32 bits
    data = header + bytes(colour) + bytes(mask)
    assert len(data) == 872
    return data


def main(path):
    image = image_bytes()
    icon_dir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", 16, 16, 0, 0, 1, 24, len(image), 6 + 16)
    with open(path, "wb") as out:
        out.write(icon_dir + entry + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "res/hushwell.ico")
