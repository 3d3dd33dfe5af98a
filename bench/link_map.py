"""Where a linked binary's bytes come from, read from GNU ld's map (-Wl,-Map): each input
section placed in a section of the file is summed under the group of the object or archive
that brought it. Reports whatever the map holds: a group that nothing comes from is left out."""

import os
import re

# Sections that take no bytes in the file (or are not in a stripped one).
NOT_IN_FILE = re.compile(r"^(\.bss|/DISCARD/|\.debug|\.zdebug|\.stab)")
# A piece of the file: an input section's name (or nothing, below a long name), address, size
# and where it comes from.
INPUT = re.compile(r"^ (?:\S+)?\s+0x[0-9a-fA-F]+\s+0x([0-9a-fA-F]+)\s*(.*)$")
MEMBER = re.compile(r"^(.*?)(?:\((.*)\))?$")
OBJECT = re.compile(r"\.(o|obj|a|res)$")

OWN = "Hushwell's own objects"
OWN_RESOURCES = "Hushwell's resources (.rsrc)"
OWN_RUNTIME = "Hushwell's runtime support (runtime/)"
GROUPS = [  # (group, archive or object file names), in the order of the table
    ("libstdc++ (libstdc++, libsupc++)", ("libstdc++.a", "libsupc++.a")),
    ("libgcc and its unwinder (libgcc, libgcc_eh)", ("libgcc.a", "libgcc_eh.a", "libgcc_s.a")),
    ("winpthreads", ("libwinpthread.a", "libpthread.a")),
    ("MinGW CRT (start-up objects, libmingw32, libmingwex, libmoldname, libmsvcrt's own code)",
     ("crt2.o", "dllcrt2.o", "crtbegin.o", "crtend.o", "libmingw32.a", "libmingwex.a",
      "libmoldname.a", "libmsvcrt.a")),
    ("interface and class ids (libuuid)", ("libuuid.a",)),
]
IMPORTS = "import tables and stubs of system DLLs"
LINKER = "made by the linker"
LINKER_PIECES = {"dll stuff": "relocations and export table", "LONG": "constructor list ends"}
ORDER = [OWN, OWN_RESOURCES, OWN_RUNTIME] + [g for g, _ in GROUPS] + [IMPORTS, LINKER]


def input_sections(map_path):
    """(output section, size, origin) of every piece placed in the file: input sections, fill
    and the linker's own data."""
    with open(map_path, encoding="utf-8", errors="replace") as lines:
        text = lines.read()
    start = text.find("Linker script and memory map")
    output = None
    for line in text[start:].splitlines()[1:]:
        if line and not line[0].isspace():
            output = line.split()[0]
            continue
        if output is None or NOT_IN_FILE.match(output):
            continue
        # A long input section name stands alone on its line, which goes on below: only the
        # line with the size counts.
        match = INPUT.match(line)
        if match and int(match.group(1), 16):
            yield output, int(match.group(1), 16), match.group(2).strip()


def is_project_file(path, build_dir):
    """Objects and archives of the project's own build: relative paths, or inside its folder."""
    return not os.path.isabs(path) or path.startswith(build_dir + os.sep)


def group_of(output, origin, import_members, build_dir, runtime_sources):
    file, member = MEMBER.match(origin).groups()
    if not OBJECT.search(file):
        return LINKER  # fill, the constructor lists' LONG ends, "dll stuff"
    if origin in import_members:
        return IMPORTS
    if is_project_file(file, build_dir):
        source = os.path.splitext(member or os.path.basename(file))[0]
        if source in runtime_sources:
            return OWN_RUNTIME
        return OWN_RESOURCES if output == ".rsrc" else OWN
    name = os.path.basename(file)
    for group, files in GROUPS:
        if name in files:
            return group
    return "other: " + name


def summarise(map_path, binary_path, build_dir, root):
    """The file's size, and a row per group in table order with the rest of the file (headers,
    alignment) last: {"group", "bytes", "unwind": of them in .eh_frame, "largest": the three
    largest [(file or member, bytes)]}."""
    sections = list(input_sections(map_path))
    # An import library's member brings an .idata piece; its jump stub in .text goes with it.
    import_members = {origin for output, _, origin in sections if output == ".idata"}
    runtime_dir = os.path.join(root, "runtime")
    runtime_sources = set(os.listdir(runtime_dir)) if os.path.isdir(runtime_dir) else set()
    groups = {}
    for output, size, origin in sections:
        name = group_of(output, origin, import_members, os.path.abspath(build_dir),
                        runtime_sources)
        group = groups.setdefault(name, {"group": name, "bytes": 0, "unwind": 0, "files": {}})
        group["bytes"] += size
        group["unwind"] += size if output == ".eh_frame" else 0
        file, member = MEMBER.match(origin).groups()
        piece = os.path.basename(file) if name == IMPORTS else member or os.path.basename(file)
        piece = LINKER_PIECES.get(piece.split(" ")[0] if piece.startswith("LONG") else piece,
                                  piece or "fill")
        group["files"][piece] = group["files"].get(piece, 0) + size
    rows = [groups.pop(g) for g in ORDER if g in groups] + sorted(
        groups.values(), key=lambda g: g["group"])
    for row in rows:
        row["largest"] = sorted(row.pop("files").items(), key=lambda item: -item[1])[:3]
    file_size = os.path.getsize(binary_path)
    rows.append({"group": "the rest: PE headers and section alignment", "unwind": 0,
                 "bytes": file_size - sum(row["bytes"] for row in rows), "largest": []})
    return file_size, rows
