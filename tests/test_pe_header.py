"""The post-link step that moves a program's NT headers to offset 256, where the setup stub looks
for "PE" before it reads a package end mark."""
import struct
import subprocess
import sys

import pytest

from conftest import ROOT, fixture_exe

SCRIPT = ROOT / "scripts/pe-header-at-256.py"
PACKBUILD = ROOT / "build/native/tools/packbuild"


def move(path):
    return subprocess.run([sys.executable, str(SCRIPT), str(path)], capture_output=True, text=True, timeout=30)


def pe_offset(data):
    return struct.unpack_from("<I", data, 0x3C)[0]


def test_moved_program_still_runs_and_takes_an_end_mark(tmp_path, wine):
    image = tmp_path / "stub.exe"
    original = fixture_exe("HelloStub").read_bytes()
    assert pe_offset(original) != 256
    image.write_bytes(original)

    assert move(image).returncode == 0
    moved = image.read_bytes()
    assert pe_offset(moved) == 256 and moved[256:260] == b"PE\0\0"
    assert moved[:0x40] == original[:0x40][:0x3C] + struct.pack("<I", 256)
    assert move(image).returncode == 0 and image.read_bytes() == moved, "a second run changes nothing"

    ran = wine.run(image)
    assert (ran.returncode, ran.stdout.strip()) == (7, "stub image runs")

    (tmp_path / "payload.txt").write_text("payload\n")
    (tmp_path / "sig.bin").write_bytes(b"SIGNATURE" * 100)
    (tmp_path / "setup.desc").write_text("[setup]\nstub = stub.exe\noutput = Setup.exe\nend-mark = yes\n"
                                         "append = sig.bin\n[files]\ncompress = payload.txt\n")
    built = subprocess.run([str(PACKBUILD), "build", "setup.desc"], cwd=tmp_path, capture_output=True, text=True,
                           timeout=60)
    assert built.returncode == 0, built.stderr
    setup = (tmp_path / "Setup.exe").read_bytes()
    high, low = struct.unpack_from("<II", setup, 248)
    assert (high << 32 | low) == len(setup) - 900
    ran = wine.run(tmp_path / "Setup.exe")
    assert ran.returncode == 7


@pytest.mark.parametrize("content, message", [
    (b"not a program", "not an MZ image"),
    (b"MZ" + b"\0" * 58 + struct.pack("<I", 64) + b"XX\0\0" + b"\0" * 200, "no PE signature"),
    (b"MZ" + b"\0" * 58 + struct.pack("<I", 300) + b"\0" * 236 + b"PE\0\0" + b"\0" * 300, "behind 256"),
])
def test_images_it_cannot_move_are_left_alone(tmp_path, content, message):
    image = tmp_path / "bad.exe"
    image.write_bytes(content)
    result = move(image)
    assert result.returncode != 0 and message in result.stderr
    assert image.read_bytes() == content
