#!/usr/bin/env python3
"""Lays out the demo: a stand-in installed suite and the folder the demo update server serves.

    make_demo.py --build BUILD_DIR [--updater DIR] [--sign KEY] --out DEMO_DIR --publisher COMMAND...

DEMO_DIR/suite    tolvex.exe and UNLHA32.dll (from DIR, else BUILD_DIR/bin) and stand-ins for some managed files (small PE files
                  with chosen versions, two sibling programs, a help file with a chosen date)
DEMO_DIR/release  the maker's new release files under their managed names
DEMO_DIR/server   pc/stablon/velo2/aupd/: what the maker's publisher tool made of the release:
                  update.txt and one archive per file (run as COMMAND... publish RELEASE OUT),
                  and with --sign the manifest update.txt.sig signed with private key KEY
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

# The maker's release: file -> fixture holding its new version.
RELEASED = {
    "plo.exe": "sibling_1_0_0_2.exe",
    "mepli.exe": "sibling_1_0_0_2.exe",
    "vemoda.dll": "ver_1_2_3_45.dll",
    "nuri.dll": "ver_1_2_3_45.dll",  # the same as installed: not offered
    "zevo.dll": "ver_1_2_3_45.dll",
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--updater")
    parser.add_argument("--sign")
    parser.add_argument("--out", required=True)
    parser.add_argument("--publisher", nargs="+", required=True)
    args = parser.parse_args()

    suite = os.path.join(args.out, "suite")
    server = os.path.join(args.out, "server", "pc", "stablon", "velo2", "aupd")
    release = os.path.join(args.out, "release")
    for folder in (suite, server, release):
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)

    updater = args.updater or os.path.join(args.build, "bin")
    shutil.copy(os.path.join(updater, "tolvex.exe"), suite)
    shutil.copy(os.path.join(updater, "UNLHA32.dll"), suite)
    for name, fixture in INSTALLED.items():
        shutil.copy(os.path.join(args.build, "fixtures", fixture), os.path.join(suite, name))
    help_file = os.path.join(suite, "rova.chm")
    with open(help_file, "wb") as out:
        out.write(b"ITSF stand-in help file\n")
    stamp = time.mktime((2024, 3, 15, 10, 0, 0, 0, 0, -1))
    os.utime(help_file, (stamp, stamp))

    for name, fixture in RELEASED.items():
        shutil.copy(os.path.join(args.build, "fixtures", fixture), os.path.join(release, name))
    sign = ["--sign", args.sign] if args.sign else []
    subprocess.run(args.publisher + ["publish"] + sign + [release, server], check=True, stdin=subprocess.DEVNULL)

if __name__ == "__main__":
    main()
