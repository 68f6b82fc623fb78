#!/usr/bin/python3
"""Builds the shipped Launcher.exe again, from scratch in another folder, and
checks that both builds are the same byte for byte: no date, no build folder.
check_reproducible.py <source folder> <shipped exe> <second build folder>"""
import pathlib
import shutil
import subprocess
import sys

source, shipped, second = (pathlib.Path(arg).resolve() for arg in sys.argv[1:4])
shutil.rmtree(second, ignore_errors=True)
for command in (["cmake", "--preset", "windows", "-B", str(second), "-DBUILD_TESTING=OFF"],
                ["cmake", "--build", str(second), "--target", "Launcher", "-j", "2"]):
    subprocess.run(command, cwd=source, check=True, stdout=subprocess.DEVNULL)
if shipped.read_bytes() != (second / "Launcher.exe").read_bytes():
    sys.exit(f"{shipped} and {second / 'Launcher.exe'} differ")
print("the same bytes from two clean builds in two folders")
