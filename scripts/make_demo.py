#!/usr/bin/env python3
"""Lays out the demo: a stand-in installed suite and the folder the demo update server serves.

    make_demo.py --build BUILD_DIR --out DEMO_DIR --archiver COMMAND...

DEMO_DIR/suite    tolvex.exe, UNLHA32.dll and stand-ins for some managed files (small PE files
                  with chosen versions, two sibling programs, a help file with a chosen date)
DEMO_DIR/server   pc/stablon/velo2/aupd/: update.txt and one archive per newer file, each holding
                  the new file as <base>.___, made with the project's own LHA codec (the archiver
                  command is run as: COMMAND... c <base>.lzh <base>.___ in a scratch folder)
"""
import argparse
import os
import shutil
import subprocess
import time

# Managed file -> fixture holding the installed version.
INSTALLED = {
    "plo.exe": "sibling_1_0_0_1.exe",
    "mepli.exe": "sibling_1_0_0_1.exe",
    "vemoda.dll": "ver_1_0_0_1.dll",
    "nuri.dll": "ver_1_2_3_45.dll",
    "sef.dll": "ver_10_11_12_13.dll",
    "zevo.dll": "ver_1_0_0_1.dll",
    "fule.dll": "ver_none.dll",
}

# What the maker publishes: file -> (fixture holding the new version, its version text).
PUBLISHED = {
    "plo.exe": ("sibling_1_0_0_2.exe", "1,00,0,0002"),
    "mepli.exe": ("sibling_1_0_0_2.exe", "1,00,0,0002"),
    "vemoda.dll": ("ver_1_2_3_45.dll", "1,02,3,0045"),
    "nuri.dll": ("ver_1_2_3_45.dll", "1,02,3,0045"),  # the same as installed: not offered
    "zevo.dll": ("ver_1_2_3_45.dll", "1,02,3,0045"),
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--archiver", nargs="+", required=True)
    args = parser.parse_args()

    suite = os.path.join(args.out, "suite")
    server = os.path.join(args.out, "server", "pc", "stablon", "velo2", "aupd")
    scratch = os.path.join(args.out, "scratch")
    for folder in (suite, server, scratch):
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)

    shutil.copy(os.path.join(args.build, "bin", "tolvex.exe"), suite)
    shutil.copy(os.path.join(args.build, "bin", "UNLHA32.dll"), suite)
    for name, fixture in INSTALLED.items():
        shutil.copy(os.path.join(args.build, "fixtures", fixture), os.path.join(suite, name))
    help_file = os.path.join(suite, "rova.chm")
    with open(help_file, "wb") as out:
        out.write(b"ITSF stand-in help file\n")
    stamp = time.mktime((2024, 3, 15, 10, 0, 0, 0, 0, -1))
    os.utime(help_file, (stamp, stamp))

    lines = []
    for name, (fixture, version) in PUBLISHED.items():
        base = name.rsplit(".", 1)[0]
        staged = base + ".___"
        shutil.copy(os.path.join(args.build, "fixtures", fixture), os.path.join(scratch, staged))
        subprocess.run(args.archiver + ["c", base + ".lzh", staged], cwd=scratch, check=True,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
        shutil.move(os.path.join(scratch, base + ".lzh"), os.path.join(server, base + ".lzh"))
        lines.append("%s&%s\r\n" % (name, version))
    with open(os.path.join(server, "update.txt"), "wb") as out:
        out.write("".join(lines).encode("ascii"))
    shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
