#!/usr/bin/env python3
"""Moves the NT headers of a Windows program to file offset 256.

A setup file carries the end of its package in the header area (offsets 248 to 255), and the
stub looks for that mark only when "PE" stands at offset 256. The GNU linker puts the NT headers
at 128; this moves them (signature, file header, optional header and section table) to 256,
points e_lfanew there and recomputes the image checksum. The DOS stub before them stays. The
program refuses an image whose headers would not fit in their room or whose data directories
point into the header area, and leaves the file as it was.

    pe-header-at-256.py IMAGE
"""
import struct
import sys

TARGET = 256


def fail(message):
    sys.exit(f"pe-header-at-256: {message}")


def image_checksum(data, checksum_at):
    """The PE image checksum: a 16-bit folded sum of the 16-bit words, without the checksum field,
    plus the file length."""
    total = 0
    padded = data + b"\0" * (len(data) % 2)
    for (word,) in struct.iter_unpack("<H", padded):
        total += word
    for (word,) in struct.iter_unpack("<H", data[checksum_at:checksum_at + 4]):
        total -= word
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(data)) & 0xFFFFFFFF


def move_headers(data):
    if data[:2] != b"MZ":
        fail("not an MZ image")
    old = struct.unpack_from("<I", data, 0x3C)[0]
    if data[old:old + 4] != b"PE\0\0":
        fail("no PE signature where e_lfanew points")
    if old == TARGET:
        return data
    if old > TARGET:
        fail(f"the NT headers start at {old}, behind {TARGET}")
    sections = struct.unpack_from("<H", data, old + 6)[0]
    optional_size = struct.unpack_from("<H", data, old + 20)[0]
    optional = old + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    if magic not in (0x10B, 0x20B):
        fail(f"unknown optional header magic {magic:#x}")
    headers_size = struct.unpack_from("<I", data, optional + 60)[0]
    length = 24 + optional_size + 40 * sections
    if TARGET + length > headers_size:
        fail(f"{length} bytes of headers do not fit before {headers_size} when moved to {TARGET}")
    directories_at = optional + (96 if magic == 0x10B else 112)
    count = struct.unpack_from("<I", data, directories_at - 4)[0]
    for i in range(count):
        rva, size = struct.unpack_from("<II", data, directories_at + 8 * i)
        if size and rva < headers_size and i != 4:  # entry 4 (certificates) is a file offset
            fail(f"data directory {i} lies in the header area")
    nt = data[old:old + length]
    header_area = data[:old] + b"\0" * (TARGET - old) + nt + b"\0" * (headers_size - TARGET - length)
    moved = bytearray(header_area + data[headers_size:])
    struct.pack_into("<I", moved, 0x3C, TARGET)
    checksum_at = TARGET + 24 + 64
    struct.pack_into("<I", moved, checksum_at, image_checksum(bytes(moved), checksum_at))
    return bytes(moved)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    path = sys.argv[1]
    with open(path, "rb") as f:
        data = f.read()
    moved = move_headers(data)
    if moved != data:
        with open(path, "wb") as f:
            f.write(moved)


if __name__ == "__main__":
    main()
