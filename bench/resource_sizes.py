#!/usr/bin/python3
"""What the resources of a PE file weigh, by type: how many entries (names
times languages), their bytes, and the bytes of their distinct contents
(language variants with the same bytes counted once). Prints a markdown table.

    bench/resource_sizes.py build/windows/Launcher.exe
"""
import hashlib
import struct
import sys

TYPE_NAMES = {1: "RT_CURSOR", 2: "RT_BITMAP", 3: "RT_ICON", 4: "RT_MENU", 5: "RT_DIALOG", 6: "RT_STRING",
              14: "RT_GROUP_ICON", 16: "RT_VERSION", 24: "RT_MANIFEST"}


def resources(image):
    """Yields (type, data) for every leaf of the resource tree."""
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", image, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    rsrc_rva, rsrc_size = struct.unpack_from("<II", image, directories + 2 * 8)
    if not rsrc_size:
        return

    def file_offset(rva):
        for i in range(sections):
            header = optional + optional_size + 40 * i
            size, address, _, raw = struct.unpack_from("<IIII", image, header + 8)
            if address <= rva < address + max(size, 1):
                return raw + rva - address
        raise ValueError(f"RVA {rva:#x} lies in no section")

    base = file_offset(rsrc_rva)

    def entries(offset):
        named, ids = struct.unpack_from("<HH", image, base + offset + 12)
        for i in range(named + ids):
            yield struct.unpack_from("<II", image, base + offset + 16 + 8 * i)

    def type_name(name):
        if name & 0x80000000:
            length = struct.unpack_from("<H", image, base + (name & 0x7FFFFFFF))[0]
            start = base + (name & 0x7FFFFFFF) + 2
            return '"' + image[start:start + 2 * length].decode("utf-16-le") + '"'
        return TYPE_NAMES.get(name, str(name))

    for kind, names in entries(0):
        for _, languages in entries(names & 0x7FFFFFFF):
            for _, leaf in entries(languages & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", image, base + leaf)
                start = file_offset(rva)
                yield type_name(kind), image[start:start + size]


def main(path):
    with open(path, "rb") as file:
        image = file.read()
    totals = {}
    for kind, data in resources(image):
        count, size, distinct = totals.setdefault(kind, [0, 0, {}])
        totals[kind][0] += 1
        totals[kind][1] += len(data)
        distinct[hashlib.sha256(data).digest()] = len(data)
    print("| Type | entries | bytes | distinct contents, bytes |")
    print("|---|---|---|---|")
    for kind, (count, size, distinct) in sorted(totals.items(), key=lambda item: -item[1][1]):
        print(f"| {kind} | {count} | {size} | {sum(distinct.values())} |")
    print(f"| all | {sum(t[0] for t in totals.values())} | {sum(t[1] for t in totals.values())} |"
          f" {sum(sum(t[2].values()) for t in totals.values())} |")


if __name__ == "__main__":
    main(sys.argv[1])
