#!/usr/bin/python3
"""Builds the shipped Launcher.exe a second time, from scratch in another
folder, and checks that both are the same byte for byte and that neither the
PE header's date nor a build folder is in it.

check_reproducible.py <source folder> <shipped exe> <second build folder>"""
import pathlib
import shutil
import struct
import subprocess
import sys

source, shipped, second = (pathlib.Path(arg).resolve() for arg in sys.argv[1:4])
shutil.rmtree(second, ignore_errors=True)
# The very preset the shipped exe comes from, tests left out.
subprocess.run(["cmake", "--preset", "windows", "-B", str(second), "-DBUILD_TESTING=OFF"], cwd=source, check=True,
               stdout=subprocess.DEVNULL)
subprocess.run(["cmake", "--build", str(second), "--target", "Launcher", "-j", "2"], cwd=source, check=True,
               stdout=subprocess.DEVNULL)
first, again = shipped.read_bytes(), (second / "Launcher.exe").read_bytes()
failures = []
if first != again:
    failures.append(f"two clean builds differ ({len(first)} and {len(again)} bytes)")
header = struct.unpack_from("<I", first, 0x3C)[0]
if struct.unpack_from("<I", first, header + 8)[0]:
    failures.append("the PE header carries a date")
for folder in (source, shipped.parent, second):
    if str(folder).encode() in first or str(folder).encode("utf-16-le") in first:
        failures.append(f"the exe names the build folder {folder}")
print("\n".join(failures) or f"the same {len(first)} bytes from two clean builds, no date or build folder in them")
sys.exit(1 if failures else 0)
