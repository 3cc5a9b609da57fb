#!/usr/bin/env python3
"""Writes benchmark data: files of mixed content, as a setup ships them.

    mixed-data.py FOLDER MIB            a folder of files of MIB MiB in all
    mixed-data.py --single FILE MIB     one file of MIB MiB with the same mix inside

A third of the data is incompressible (random, like packed media or archives), a third text, a
third program-like (repetitive records with noise). The same arguments give the same files,
except the random third."""
import os
import random
import sys

SIZES = [4_000, 60_000, 700_000, 3_000_000, 12_000_000]
KINDS = ["bin", "txt", "dll"]


class Mix:
    def __init__(self):
        self.rng = random.Random(5)
        self.words = [bytes(self.rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(self.rng.randint(2, 9)))
                      for _ in range(4000)]
        self.block = bytes(self.rng.getrandbits(8) if j % 5 == 0 else j % 251 for j in range(4096))

    def piece(self, kind, size):
        if kind == 0:
            return os.urandom(size)
        if kind == 1:
            out, n = [], 0
            while n < size:
                word = self.rng.choice(self.words)
                out.append(word + b" ")
                n += len(word) + 1
            return b"".join(out)[:size]
        return (self.block * (size // 4096 + 1))[:size]

    def pieces(self, total):
        done, i = 0, 0
        while done < total:
            size = min(self.rng.choice(SIZES), total - done)
            yield i, i % 3, self.piece(i % 3, size)
            done += size
            i += 1


def main():
    args = sys.argv[1:]
    single = args[:1] == ["--single"]
    if single:
        args = args[1:]
    if len(args) != 2:
        sys.exit(__doc__)
    path, total = args[0], int(args[1]) * 1024 * 1024
    if single:
        with open(path, "wb") as f:
            for _, _, data in Mix().pieces(total):
                f.write(data)
        return
    os.makedirs(path, exist_ok=True)
    for i, kind, data in Mix().pieces(total):
        with open(os.path.join(path, f"file{i:04d}.{KINDS[kind]}"), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
