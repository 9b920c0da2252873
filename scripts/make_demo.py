#!/usr/bin/env python3
"""Lays out the demo: a stand-in installed suite and the folder the demo update server serves.

    make_demo.py --build BUILD_DIR --out DEMO_DIR

DEMO_DIR/suite   tolvex.exe and stand-ins for some managed files (small PE files with chosen
                 versions, a help file with a chosen date), as on a user's machine
DEMO_DIR/server  pc/stablon/velo2/aupd/update.txt naming newer versions of some of them
"""
import argparse
import os
import shutil
import time

# Managed file -> fixture holding the installed version.
INSTALLED = {
    "vemoda.dll": "ver_1_0_0_1.dll",
    "nuri.dll": "ver_1_2_3_45.dll",
    "sef.dll": "ver_10_11_12_13.dll",
    "zevo.dll": "ver_1_0_0_1.dll",
    "fule.dll": "ver_none.dll",
}

# The update list the server offers: three files newer than installed, one equal.
UPDATE_LIST = (
    "vemoda.dll&1,02,3,0045\r\n"
    "nuri.dll&1,02,3,0045\r\n"
    "sef.dll&10,11,12,0013\r\n"
    "zevo.dll&1,02,3,0045\r\n"
    "rova.chm&2,00,2612,0110\r\n"
)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()

    suite = os.path.join(args.out, "suite")
    server = os.path.join(args.out, "server", "pc", "stablon", "velo2", "aupd")
    for folder in (suite, server):
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)

    shutil.copy(os.path.join(args.build, "bin", "tolvex.exe"), suite)
    for name, fixture in INSTALLED.items():
        shutil.copy(os.path.join(args.build, "fixtures", fixture), os.path.join(suite, name))
    help_file = os.path.join(suite, "rova.chm")
    with open(help_file, "wb") as out:
        out.write(b"ITSF stand-in help file\n")
    stamp = time.mktime((2024, 3, 15, 10, 0, 0, 0, 0, -1))
    os.utime(help_file, (stamp, stamp))

    with open(os.path.join(server, "update.txt"), "wb") as out:
        out.write(UPDATE_LIST.encode("ascii"))


if __name__ == "__main__":
    main()
