#!/usr/bin/env python3
"""Checks a portable package and the installer beside it.

    check_zip.py ZIP SETUP ARCH KIVO_WAV KIVO_CHM

The zip holds exactly kivo.exe, kivo.wav, kivo.chm, readme.txt and
licence.txt at its root; kivo.exe is a stripped Windows GUI program for
ARCH (win64 or win32); the sound and help are the build's own; the texts
have Windows line ends. The installer is a program for the same ARCH (a
32-bit installer could not run where only 64-bit code runs, and the other
way round).
"""
import struct
import sys
import zipfile

MACHINE = {"win64": 0x8664, "win32": 0x014C}
EXPECTED = {"kivo.exe", "kivo.wav", "kivo.chm", "readme.txt", "licence.txt"}
problems = []


def pe_info(data):
    """(machine, subsystem, section names) of a PE image, or None."""
    if data[:2] != b"MZ":
        return None
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        return None
    machine, sections = struct.unpack_from("<HH", data, pe + 4)
    opt_size = struct.unpack_from("<H", data, pe + 20)[0]
    opt = pe + 24
    subsystem = struct.unpack_from("<H", data, opt + 68)[0]
    table = opt + opt_size
    names = []
    sym_ptr, sym_count = struct.unpack_from("<II", data, pe + 12)
    for i in range(sections):
        raw = data[table + 40 * i: table + 40 * i + 8].rstrip(b"\0").decode("latin-1")
        if raw.startswith("/") and sym_ptr:
            # A long name lives in the COFF string table after the symbols.
            off = sym_ptr + 18 * sym_count + int(raw[1:])
            raw = data[off:data.index(b"\0", off)].decode("latin-1")
        names.append(raw)
    return machine, subsystem, names


def main():
    zip_path, setup_path, arch, wav, chm = sys.argv[1:6]
    with zipfile.ZipFile(zip_path) as z:
        if z.testzip() is not None:
            problems.append("the zip has a damaged member")
        names = set(z.namelist())
        if names != EXPECTED:
            problems.append(f"zip holds {sorted(names)}, expected {sorted(EXPECTED)}")
        files = {n: z.read(n) for n in names & EXPECTED}

    exe = files.get("kivo.exe", b"")
    info = pe_info(exe)
    if info is None:
        problems.append("kivo.exe is not a Windows program")
    else:
        machine, subsystem, sections = info
        if machine != MACHINE[arch]:
            problems.append(f"kivo.exe is built for machine {machine:#x}, expected {MACHINE[arch]:#x}")
        if subsystem != 2:
            problems.append(f"kivo.exe has subsystem {subsystem}, expected a GUI program (2)")
        debug = [s for s in sections if s.startswith(".debug")]
        if debug:
            problems.append(f"kivo.exe still carries debug sections {debug}")

    for name, source in (("kivo.wav", wav), ("kivo.chm", chm)):
        if name in files and files[name] != open(source, "rb").read():
            problems.append(f"{name} in the zip differs from the build's {source}")
    if not files.get("kivo.chm", b"").startswith(b"ITSF"):
        problems.append("kivo.chm is not a compiled help file")
    for name in ("readme.txt", "licence.txt"):
        text = files.get(name, b"")
        if not text.strip():
            problems.append(f"{name} is empty")
        elif text.count(b"\n") != text.count(b"\r\n"):
            problems.append(f"{name} has bare line feeds (Notepad shows one long line)")
    if b"Kivo, Inc." not in files.get("licence.txt", b""):
        problems.append("licence.txt names no copyright holder")

    setup = pe_info(open(setup_path, "rb").read())
    if setup is None:
        problems.append("the installer is not a Windows program")
    elif setup[0] != MACHINE[arch]:
        problems.append(f"the installer is built for machine {setup[0]:#x}, expected {MACHINE[arch]:#x}")

    for p in problems:
        print("FAIL: " + p)
    if problems:
        sys.exit(1)
    print(f"PASS: {zip_path} and its installer, {arch}")


if __name__ == "__main__":
    main()
