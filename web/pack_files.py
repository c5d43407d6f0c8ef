#!/usr/bin/env python3
"""Packs files into one gzip-compressed pack for the browser build, which web/packs.js
unpacks into the module's file system before the game reads them.

    pack_files.py OUTPUT.pack SOURCE_DIR NAME...

Each NAME is a path under SOURCE_DIR (a folder packs every file in it, sorted) and keeps
that path in the pack. A pack is gzip (no name, no time, so the same files always give the
same bytes) around, little-endian: the magic "CFPK", then per file a 16-bit length, the
name in UTF-8, a 32-bit length and the file's bytes. The pictures shrink to a sixteenth;
the sounds are already compressed and pass through at about their size.
"""
import gzip
import os
import struct
import sys

MAGIC = b"CFPK"


def files_named(source_dir, names):
    for name in names:
        path = os.path.join(source_dir, name)
        if os.path.isdir(path):
            for entry in sorted(os.listdir(path)):
                if os.path.isfile(os.path.join(path, entry)):
                    yield f"{name}/{entry}", os.path.join(path, entry)
        elif os.path.isfile(path):
            yield name, path
        else:
            raise SystemExit(f"pack_files.py: no file or folder {path}")


def main(argv):
    if len(argv) < 4:
        raise SystemExit("usage: pack_files.py OUTPUT.pack SOURCE_DIR NAME...")
    output, source_dir, names = argv[1], argv[2], argv[3:]
    body = bytearray(MAGIC)
    for name, path in files_named(source_dir, names):
        encoded = name.encode("utf-8")
        with open(path, "rb") as file:
            data = file.read()
        body += struct.pack("<H", len(encoded)) + encoded + struct.pack("<I", len(data)) + data
    # Written beside the target and renamed over it: a failed run leaves no half pack.
    partial = output + ".part"
    with open(partial, "wb") as file:
        file.write(gzip.compress(bytes(body), compresslevel=9, mtime=0))
    os.replace(partial, output)


if __name__ == "__main__":
    main(sys.argv)
