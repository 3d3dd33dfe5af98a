"""The release package test: the win32 zip holds every file, as built, with system imports only;
the same layout built for x86_64, unpacked into a fresh Wine prefix and set up exactly as its
README.txt says, reads the simulated radio.

Environment (set by tests/package/run): HUSHWELL_ROOT, HUSHWELL_WIN32_DIR, HUSHWELL_WIN64_DIR,
HUSHWELL_HOST_DIR, HUSHWELL_PACKAGE_WORK (a folder of its own under build/), DISPLAY.
Prints one line per check and "N passed, M failed"."""

import os
import re
import shlex
import shutil
import subprocess
import sys
import zipfile

ROOT = os.environ["HUSHWELL_ROOT"]
sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e", "runner"))
from driver_session import run_driver, windows_path  # noqa: E402
from radio_sim import SimError, SimulatedRadio  # noqa: E402

WINE64 = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
WIN32_DIR = os.environ["HUSHWELL_WIN32_DIR"]
WIN64_DIR = os.environ["HUSHWELL_WIN64_DIR"]
HOST_DIR = os.environ["HUSHWELL_HOST_DIR"]
WORK = os.environ["HUSHWELL_PACKAGE_WORK"]
PREFIX = os.path.join(WORK, "prefix")
DIST = os.path.join(WORK, "dist")

PACKAGED = ["hushwell.exe", "radiolink.dll", "README.txt", "LICENSE"]
SYSTEM_DLL = re.compile(r"^(kernel32|user32|gdi32|advapi32|ole32|oleaut32|shell32|comdlg32|"
                        r"msvcrt|ucrtbase|ws2_32|version|shlwapi|uuid|"
                        r"api-ms-win-[a-z0-9-]+)\.dll$")
PACKET_LINK = "{CD8D04DC-E675-11D0-8013-0060B03C8AFF}"
COMMAND_LINK = "{CD8D04DD-E675-11D0-8013-0060B03C8AFF}"
# A technician unpacks the zip here (C:\Hushwell).
INSTALL_DIR = os.path.join(PREFIX, "drive_c", "Hushwell")
# The simulated radio publishes its pseudo-terminal here; COM1 of the prefix points at it.
RADIO_LINK = os.path.join(WORK, "radio-com1")

results = []


def check(name, ok, detail=""):
    results.append(ok)
    print("%s: %s%s" % ("PASS" if ok else "FAIL", name, "" if ok or not detail else
                        " -- " + detail))
    sys.stdout.flush()
    return ok


def version():
    text = open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8").read()
    return re.search(r"project\(Hushwell VERSION ([0-9.]+)", text).group(1)


# Every Wine program of the test runs in the fresh prefix, the driver's included.
os.environ.update(WINEPREFIX=PREFIX, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")


def wine_env():
    return dict(os.environ)


def wine(args, cwd=None, timeout=60):
    """Runs a Wine program. Its output goes through files, not pipes: the Wine services it may
    start keep inherited pipes open long after it has ended."""
    out_path = os.path.join(WORK, "wine.out")
    err_path = os.path.join(WORK, "wine.err")
    with open(out_path, "wb") as out, open(err_path, "wb") as err:
        status = subprocess.run([WINE64] + args, cwd=cwd, env=wine_env(), stdout=out, stderr=err,
                                timeout=timeout, stdin=subprocess.DEVNULL).returncode
    read = lambda path: open(path, encoding="utf-8", errors="replace").read()
    return subprocess.CompletedProcess(args, status, read(out_path), read(err_path))


def imports(objdump, path):
    out = subprocess.run([objdump, "-p", path], capture_output=True, text=True).stdout
    return sorted({m.group(1).lower() for m in re.finditer(r"DLL Name: (\S+)", out)})


def unpack(zip_path, into):
    with zipfile.ZipFile(zip_path) as archive:
        names = archive.namelist()
        archive.extractall(into)
    return names


# ---------------------------------------------------------------- the win32 zip

def check_win32_zip(folder_name, zip_path):
    if not check("the win32 zip exists", os.path.isfile(zip_path), zip_path):
        return
    unpacked = os.path.join(WORK, "win32")
    names = unpack(zip_path, unpacked)
    expected = sorted("%s/%s" % (folder_name, f) for f in PACKAGED)
    check("the win32 zip holds exactly %s in %s/" % (", ".join(PACKAGED), folder_name),
          sorted(names) == expected, "holds %s" % sorted(names))
    folder = os.path.join(unpacked, folder_name)
    for binary in ("hushwell.exe", "radiolink.dll"):
        path = os.path.join(folder, binary)
        if not os.path.exists(path):
            continue
        header = subprocess.run(["i686-w64-mingw32-objdump", "-f", path], capture_output=True,
                                text=True).stdout
        check("%s is an i686 binary" % binary, "file format pei-i386" in header, header.strip())
        check("%s is the one the i686 build made" % binary,
              open(path, "rb").read() == open(os.path.join(WIN32_DIR, binary), "rb").read())
        dlls = imports("i686-w64-mingw32-objdump", path)
        foreign = [d for d in dlls if not SYSTEM_DLL.match(d)]
        check("%s imports system DLLs only" % binary, bool(dlls) and not foreign,
              "imports %s" % dlls)
        if binary == "hushwell.exe":
            check("hushwell.exe does not import comctl32.dll", "comctl32.dll" not in dlls,
                  "imports %s" % dlls)
    readme = os.path.join(folder, "README.txt")
    if os.path.exists(readme):
        raw = open(readme, "rb").read()
        check("README.txt has CR LF line ends only",
              raw.endswith(b"\r\n") and raw.count(b"\n") == raw.count(b"\r\n"))
        check("README.txt is plain ASCII text", all(b < 128 for b in raw))
    licence = os.path.join(folder, "LICENSE")
    if os.path.exists(licence):
        shipped = open(licence, "rb").read().replace(b"\r\n", b"\n")
        check("LICENSE is the project's licence",
              shipped == open(os.path.join(ROOT, "LICENSE"), "rb").read())


# ---------------------------------------------------------------- the readme's steps under Wine

def registration_command(readme_path):
    """The one command the readme gives for registering the component."""
    commands = [line.strip() for line in open(readme_path, encoding="ascii")
                if re.match(r"^\s*regsvr32\b", line) and "/u" not in line.split()]
    check("README.txt gives exactly one registration command", len(commands) == 1,
          "found %s" % commands)
    return commands[0] if commands else None


def registered_path(hive, clsid):
    query = wine(["reg", "query", r"%s\CLSID\%s\InprocServer32" % (hive, clsid), "/ve"])
    match = re.search(r"REG_SZ\s+(.+)", query.stdout)
    return match.group(1).strip() if match else None


def make_prefix():
    shutil.rmtree(PREFIX, ignore_errors=True)
    os.makedirs(PREFIX)
    wine(["wineboot", "-i"], timeout=120)
    subprocess.run([WINESERVER, "-w"], env=wine_env(), timeout=120)
    return os.path.isfile(os.path.join(PREFIX, "system.reg"))


def check_win64_layout(folder_name, zip_path):
    if not check("the x86_64 test zip exists", os.path.isfile(zip_path), zip_path):
        return
    if not check("a fresh Wine prefix is made", make_prefix(), PREFIX):
        return
    # Xvfb has no window manager: unmanaged windows close at once instead of waiting for one.
    wine(["reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N", "/f"])
    # COM1 is the simulated radio's link. Wine's mount manager maps the COM ports each time
    # the prefix's services start (COM1 to /dev/ttyS0 where that exists) unless a port is named
    # in Software\Wine\Ports: it is named there, and the services are restarted to take it.
    wine(["reg", "add", r"HKLM\Software\Wine\Ports", "/v", "COM1", "/d", RADIO_LINK, "/f"])
    subprocess.run([WINESERVER, "-w"], env=wine_env(), timeout=120)
    # A persistent server for the prefix's life keeps each Wine start quick.
    subprocess.run([WINESERVER, "-p"], env=wine_env(), stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)

    names = unpack(zip_path, INSTALL_DIR)
    check("the x86_64 zip has the same layout",
          sorted(names) == sorted("%s/%s" % (folder_name, f) for f in PACKAGED),
          "holds %s" % sorted(names))
    folder = os.path.join(INSTALL_DIR, folder_name)
    command = registration_command(os.path.join(folder, "README.txt"))
    if not command:
        return
    # Typed in a Command Prompt opened in the unpacked folder.
    run = wine(shlex.split(command), cwd=folder)
    check("the readme's command '%s' succeeds" % command, run.returncode == 0,
          "status %d: %s %s" % (run.returncode, run.stdout.strip(), run.stderr.strip()[-300:]))
    dll_path = "C:\\Hushwell\\%s\\radiolink.dll" % folder_name
    for clsid, name in ((PACKET_LINK, "PacketLink"), (COMMAND_LINK, "CommandLink")):
        got = registered_path(r"HKCU\Software\Classes", clsid)
        check("%s is registered for the current user at the unpacked DLL" % name,
              got is not None and got.lower() == dll_path.lower(), "registered: %s" % got)
        check("%s is not registered for all users" % name,
              registered_path(r"HKLM\Software\Classes", clsid) is None)
    mirror_user_classes()

    radio = SimulatedRadio(os.path.join(HOST_DIR, "radiosim", "radiosim"),
                           os.path.join(WORK, "radio"), RADIO_LINK)
    try:
        radio.start()
    except SimError as error:
        check("the simulated radio starts", False, str(error))
        return
    com1 = os.path.join(PREFIX, "dosdevices", "com1")
    check("COM1 of the prefix leads to the simulated radio",
          os.path.realpath(com1) == os.path.realpath(RADIO_LINK),
          "%s -> %s" % (com1, os.path.realpath(com1)))
    try:
        result = run_driver(WINE64, os.path.join(WIN64_DIR, "tests", "e2e", "e2e_driver.exe"),
                            os.path.join(folder, "hushwell.exe"), WORK,
                            ["click read", "entry", "close", "wait-exit"], {})
    finally:
        radio.stop()
    steps = result.steps()
    start = result.start() or {}
    check("the unpacked hushwell.exe starts with no message", start.get("ok") is True and
          not start.get("popups"), str(start))
    read = steps[0] if steps else {}
    check("Read finishes with no message", read.get("ok") is True and not read.get("popups"),
          str(read))
    entry = steps[1] if len(steps) > 1 else {}
    check("the entry shows the radio's value 8", entry.get("text") == "8", str(entry))
    requests = radio.requests()
    reads = [r for r in requests if r.get("type") == "read"]
    check("the radio was read through COM1 (seven 32-byte reads)",
          len(reads) == 7 and all(r.get("verdict") == "ok" for r in reads),
          "%d requests, %d reads" % (len(requests), len(reads)))
    ended = steps[3] if len(steps) > 3 else {}
    check("Hushwell closes with exit code 0", ended.get("exit_code") == 0, str(ended))


def mirror_user_classes():
    """Windows merges HKCU\\Software\\Classes into HKEY_CLASSES_ROOT; Wine 8's COM looks in
    the machine's classes only (docs/component.md). Stand in for Windows: copy the entries the
    readme's command wrote for the current user, unchanged, into the machine's classes."""
    exported = os.path.join(WORK, "user-classes.reg")
    for clsid in (PACKET_LINK, COMMAND_LINK):
        if os.path.exists(exported):
            os.unlink(exported)
        wine(["reg", "export", r"HKCU\Software\Classes\CLSID\%s" % clsid, windows_path(exported),
              "/y"])
        if not check("the current user's %s entries export" % clsid, os.path.exists(exported)):
            return
        text = open(exported, "rb").read().decode("utf-16")
        text = text.replace("[HKEY_CURRENT_USER\\Software\\Classes\\",
                            "[HKEY_LOCAL_MACHINE\\Software\\Classes\\")
        with open(exported, "wb") as out:
            out.write(text.encode("utf-16"))
        imported = wine(["reg", "import", windows_path(exported)])
        check("the stand-in copied %s to the machine's classes" % clsid,
              registered_path(r"HKLM\Software\Classes", clsid) is not None,
              "reg import: status %d %s" % (imported.returncode, imported.stderr.strip()))


def main():
    os.makedirs(WORK, exist_ok=True)
    ver = version()
    folder_name = "hushwell-%s" % ver
    package = subprocess.run([os.path.join(ROOT, "scripts", "package")],
                             env=dict(os.environ, HUSHWELL_DIST_DIR=DIST),
                             capture_output=True, text=True)
    if check("scripts/package runs", package.returncode == 0, package.stderr.strip()):
        check_win32_zip(folder_name, os.path.join(DIST, "%s-win32.zip" % folder_name))
        check_win64_layout(folder_name,
                           os.path.join(DIST, "test-only", "%s-win64.zip" % folder_name))
    passed = sum(1 for r in results if r)
    print("%d passed, %d failed" % (passed, len(results) - passed))
    return 0 if passed == len(results) else 1


if __name__ == "__main__":
    status = 1
    try:
        status = main()
    finally:
        subprocess.run([WINESERVER, "-k"], env=wine_env(), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        if not os.environ.get("HUSHWELL_PACKAGE_KEEP"):
            shutil.rmtree(PREFIX, ignore_errors=True)
    sys.exit(status)
