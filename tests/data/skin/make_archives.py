#!/usr/bin/env python3
"""Makes the 7z archives of the extraction tests with the 7z command line and
unpacks each with `7z x` as the reference the decoder must match.

    make_archives.py OUTDIR

OUTDIR/<name>.7z and OUTDIR/<name>.ref/ (the reference tree) for every case,
plus damaged archives for the failure tests."""
import os
import random
import shutil
import struct
import subprocess
import sys
import zlib

CASES = {
    "lzma": ["-m0=LZMA", "-mf=off"],
    "lzma2_solid": ["-m0=LZMA2", "-mf=off", "-ms=on", "-md=2m"],
    "lzma2_blocks": ["-m0=LZMA2", "-mf=off", "-ms=2f"],
    "bcj": ["-m0=BCJ", "-m1=LZMA"],
    "bcj2": ["-mf=BCJ2"],
    "delta": ["-mf=Delta:4"],
    "stored": ["-mx0"],
}


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def make_tree(root):
    rnd = random.Random(7)
    write(os.path.join(root, "readme.txt"), b"first member of the tree\r\n" * 200)
    write(os.path.join(root, "data", "random.bin"), bytes(rnd.getrandbits(8) for _ in range(65536)))
    # Over 2 MiB, half noise: several LZMA2 chunks.
    big = bytearray()
    while len(big) < 3 * 1024 * 1024:
        big += bytes(rnd.getrandbits(8) for _ in range(4096)) if rnd.random() < 0.5 else b"pattern!" * 512
    write(os.path.join(root, "data", "big.bin"), bytes(big))
    write(os.path.join(root, "data", "empty.txt"), b"")
    os.makedirs(os.path.join(root, "emptyfolder"), exist_ok=True)
    write(os.path.join(root, "names", "donn\u00e9es_\u65e5\u672c\u8a9e_\ud55c\uad6d\uc5b4.txt"), "non-ASCII name\n".encode())
    # x86 code for the branch filters: call and jump opcodes with addresses.
    code = bytearray()
    for i in range(20000):
        code += bytes([0xE8]) + struct.pack("<i", rnd.randint(-50000, 50000)) + bytes([0x90, 0x55, 0x48])
        if i % 3 == 0:
            code += bytes([0x0F, 0x84]) + struct.pack("<i", rnd.randint(-4000, 4000))
    write(os.path.join(root, "code", "program.exe"), bytes(code))
    samples = b"".join(struct.pack("<hh", int(1000 * ((i % 64) - 32)), i & 0x7FFF) for i in range(40000))
    write(os.path.join(root, "code", "samples.wav"), samples)
    # Sorts last in every archive: the damage tests flip a byte inside it.
    write(os.path.join(root, "zz-last.txt"), b"LAST-MEMBER payload " * 50)


def run(args, cwd):
    subprocess.run(args, cwd=cwd, check=True, stdout=subprocess.DEVNULL)


def patch_names(archive, old, new, out):
    """Renames members of an archive with a plain (uncompressed) header by
    rewriting UTF-16 name bytes in place, then fixes both header CRCs."""
    data = bytearray(open(archive, "rb").read())
    offset, size = struct.unpack_from("<QQ", data, 12)
    start = 32 + offset
    header = data[start:start + size]
    o, n = old.encode("utf-16-le"), new.encode("utf-16-le")
    assert len(o) == len(n) and o in header
    header = header.replace(o, n)
    data[start:start + size] = header
    struct.pack_into("<I", data, 28, zlib.crc32(bytes(header)) & 0xFFFFFFFF)
    struct.pack_into("<I", data, 8, zlib.crc32(bytes(data[12:32])) & 0xFFFFFFFF)
    open(out, "wb").write(bytes(data))


def main():
    out = os.path.abspath(sys.argv[1])
    shutil.rmtree(out, ignore_errors=True)
    src = os.path.join(out, "tree")
    make_tree(src)
    for name, switches in CASES.items():
        archive = os.path.join(out, name + ".7z")
        run(["7z", "a", "-t7z", "-bd", *switches, archive, "."], src)
        run(["7z", "x", "-bd", "-y", "-o" + os.path.join(out, name + ".ref"), archive], out)
    # Members that try to leave the destination folder.
    evil = os.path.join(out, "evil-src")
    write(os.path.join(evil, "aa", "evil.txt"), b"must stay inside")
    plain = os.path.join(out, "plain-header.7z")
    run(["7z", "a", "-t7z", "-bd", "-mx0", "-mhc=off", plain, os.path.join("aa", "evil.txt")], evil)
    patch_names(plain, "aa/", "../", os.path.join(out, "unsafe_parent.7z"))
    patch_names(plain, "aa/", "C:/", os.path.join(out, "unsafe_drive.7z"))
    open(os.path.join(out, "stamp"), "w").write("ok\n")


if __name__ == "__main__":
    os.environ["LC_ALL"] = "C.UTF-8"
    main()
