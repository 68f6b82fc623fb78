#!/usr/bin/env python3
"""Builds the shipped Launcher.exe a second time, from scratch and in another
folder, and checks that both are the same byte for byte, and that nothing in
the exe records when or where it was built: PE header, debug directory,
resource directories, version information, checksum, build paths.

check_reproducible.py <source folder> <shipped exe> <second build folder>
"""
import pathlib
import shutil
import struct
import subprocess
import sys


def build_again(source, folder):
    shutil.rmtree(folder, ignore_errors=True)
    # The very preset the shipped exe comes from, tests left out.
    subprocess.run(["cmake", "--preset", "windows", "-B", str(folder), "-DBUILD_TESTING=OFF"],
                   cwd=source, check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", str(folder), "--target", "Launcher", "-j", "2"],
                   cwd=source, check=True, stdout=subprocess.DEVNULL)
    return folder / "Launcher.exe"


class Pe:
    def __init__(self, data):
        self.data = data
        self.pe = struct.unpack_from("<I", data, 0x3C)[0]
        assert data[self.pe:self.pe + 4] == b"PE\0\0", "not a PE file"
        self.sections_count, self.time_date_stamp = struct.unpack_from("<HI", data, self.pe + 6)
        optional_size = struct.unpack_from("<H", data, self.pe + 20)[0]
        self.optional = self.pe + 24
        magic = struct.unpack_from("<H", data, self.optional)[0]
        self.directories = self.optional + (96 if magic == 0x10B else 112)
        self.checksum_offset = self.optional + 64
        self.sections = []
        for i in range(self.sections_count):
            at = self.optional + optional_size + 40 * i
            virtual_size, rva, raw_size, raw_offset = struct.unpack_from("<IIII", data, at + 8)
            self.sections.append((rva, max(virtual_size, raw_size), raw_offset))

    def directory(self, index):
        return struct.unpack_from("<II", self.data, self.directories + 8 * index)

    def offset(self, rva):
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return rva - start + raw
        raise ValueError(f"RVA {rva:#x} lies in no section")

    def checksum(self):
        """The PE checksum as the loader and the image helpers compute it."""
        data = self.data + b"\0" * (len(self.data) % 2)
        total = 0
        for i in range(0, len(data), 2):
            if self.checksum_offset <= i < self.checksum_offset + 4:
                continue
            total += data[i] | data[i + 1] << 8
            total = (total & 0xFFFF) + (total >> 16)
        total = (total & 0xFFFF) + (total >> 16)
        return (total + len(self.data)) & 0xFFFFFFFF

    def resource_tables(self, base, at, ids=()):
        """Yields (offset, ids on the way) of each resource directory table and
        (None, ids, data) of each resource below it."""
        yield at, ids, None
        count = sum(struct.unpack_from("<HH", self.data, at + 12))
        for i in range(count):
            name, target = struct.unpack_from("<II", self.data, at + 16 + 8 * i)
            if target & 0x80000000:
                yield from self.resource_tables(base, base + (target & 0x7FFFFFFF), ids + (name,))
            else:
                rva, size = struct.unpack_from("<II", self.data, base + target)
                yield None, ids + (name,), self.data[self.offset(rva):self.offset(rva) + size]


def build_marks(exe, source, folders):
    """Everything in the exe that would differ from one build to the next."""
    pe = Pe(exe)
    marks = []
    if pe.time_date_stamp:
        marks.append(f"PE header TimeDateStamp {pe.time_date_stamp:#x}")
    stored = struct.unpack_from("<I", exe, pe.checksum_offset)[0]
    if stored not in (0, pe.checksum()):
        marks.append(f"checksum {stored:#x}, the file's is {pe.checksum():#x}")
    rva, size = pe.directory(0)
    if size and struct.unpack_from("<I", exe, pe.offset(rva) + 4)[0]:
        marks.append("export directory TimeDateStamp")
    rva, size = pe.directory(6)
    for at in range(pe.offset(rva), pe.offset(rva) + size, 28) if size else []:
        kind, stamp = struct.unpack_from("<I", exe, at + 12)[0], struct.unpack_from("<I", exe, at + 4)[0]
        marks.append(f"debug directory entry of type {kind} (TimeDateStamp {stamp:#x})")
    rva, size = pe.directory(2)
    if size:
        base = pe.offset(rva)
        for at, ids, data in pe.resource_tables(base, base):
            if at is not None:
                stamp = struct.unpack_from("<I", exe, at + 4)[0]
                if stamp:
                    marks.append(f"resource directory TimeDateStamp {stamp:#x} at {at:#x}")
            elif ids[0] == 16:  # RT_VERSION: VS_FIXEDFILEINFO ends with the file date
                fixed = data.find(struct.pack("<I", 0xFEEF04BD))
                if fixed >= 0 and any(struct.unpack_from("<II", data, fixed + 44)):
                    marks.append("version information carries a file date")
    for path in [source, *folders]:
        for form in (str(path).encode(), str(path).encode("utf-16-le")):
            if form in exe:
                marks.append(f"build path {path}")
    return marks


def main():
    source, shipped, second = (pathlib.Path(arg).resolve() for arg in sys.argv[1:4])
    rebuilt = build_again(source, second)
    failures = []
    first_bytes, second_bytes = shipped.read_bytes(), rebuilt.read_bytes()
    if first_bytes != second_bytes:
        differing = next((i for i, (a, b) in enumerate(zip(first_bytes, second_bytes)) if a != b),
                         min(len(first_bytes), len(second_bytes)))
        failures.append(f"{shipped} and {rebuilt} differ, first at byte {differing:#x} "
                        f"(sizes {len(first_bytes)} and {len(second_bytes)})")
    for mark in build_marks(first_bytes, source, [shipped.parent, second]):
        failures.append(f"{shipped}: {mark}")
    for failure in failures:
        print(failure)
    if not failures:
        print(f"same {len(first_bytes)} bytes from two clean builds; no date or build path in them")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
