"""The setup builder as a user runs it: build, inform and inspect from the command line."""
import os
import re
import struct
import subprocess
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parent.parent
PACKBUILD = str(Path(os.environ.get("PACKBUILD", ROOT / "build/native/tools/packbuild")).resolve())


def stub_image(size=2048):
    """A minimal PE image: "MZ", the header pointer at 60 and "PE" at 256."""
    image = bytearray(size)
    image[0:2] = b"MZ"
    image[60:64] = struct.pack("<I", 256)
    image[256:260] = b"PE\0\0"
    return bytes(image)


def run(*args, cwd):
    env = dict(os.environ, TZ="UTC")
    return subprocess.run([PACKBUILD, *map(str, args)], cwd=cwd, env=env, capture_output=True, text=True, timeout=60)


@pytest.fixture
def setup_folder(tmp_path):
    (tmp_path / "packstub.exe").write_bytes(stub_image())
    payload = tmp_path / "payload"
    payload.mkdir()
    (payload / "Engine.exe").write_bytes(stub_image(3000) + b"engine" * 500)
    (payload / "readme.txt").write_text("Read me.\n" * 100)
    (payload / "data.bin").write_bytes(os.urandom(20000))
    for f in payload.iterdir():
        os.utime(f, (1362492308, 1362492308))  # 5 March 2013 14:05:08 UTC
    (tmp_path / "out").mkdir()
    return tmp_path


def readme_example():
    text = (ROOT / "tools/README.md").read_text()
    return re.search(r"```ini\n(.*?)```", text, re.S).group(1)


def records(inspect_output):
    return [dict(re.findall(r"(\w+)=(\S+(?: /S)?)", line)) for line in inspect_output.splitlines() if line.startswith("record: ")]


def test_readme_example_builds_a_setup_that_inspects_clean(setup_folder):
    (setup_folder / "mysetup.desc").write_text(readme_example())
    built = run("build", "mysetup.desc", cwd=setup_folder)
    assert built.returncode == 0, built.stderr
    setup = setup_folder / "out/MySetup.exe"
    assert setup.read_bytes().startswith(stub_image())

    inspected = run("inspect", setup, cwd=setup_folder)
    assert inspected.returncode == 0, inspected.stdout
    out = inspected.stdout
    assert re.search(r"^checksum: (\d+) \(computed \1, holds\)$", out, re.M)
    assert "flags: 0x08 ShowActivityBar" in out
    assert "write-agent: 1" in out
    assert "files-count: 3" in out
    assert "language: English\n  s0=My Product Setup\n  s1=Unpacking My Product...\n" in out
    assert "language: German\n" in out
    assert "agent-token: myproduct-2024 (stored as " in out
    assert "agent-original-file: myproduct.original" in out
    found = records(out)
    assert [r["name"] for r in found] == ["Engine.exe", "data.bin", "readme.txt"]
    assert found[0]["run"] == "Engine.exe*/S"
    assert all(r["form"] == "zlib" for r in found)
    assert "date=2013-03-05 14:05:08" in out
    sizes = {r["name"]: int(r["unpacked"]) for r in found}
    assert sizes == {f.name: f.stat().st_size for f in (setup_folder / "payload").iterdir()}


def test_same_inputs_give_the_same_bytes(setup_folder):
    description = readme_example()
    (setup_folder / "a.desc").write_text(description)
    (setup_folder / "b.desc").write_text(description.replace("out/MySetup.exe", "out/Again.exe"))
    assert run("build", "a.desc", cwd=setup_folder).returncode == 0
    assert run("build", "b.desc", cwd=setup_folder).returncode == 0
    assert (setup_folder / "out/MySetup.exe").read_bytes() == (setup_folder / "out/Again.exe").read_bytes()


BASE = "[setup]\nstub = packstub.exe\noutput = out/MySetup.exe\n"


BAD_INPUT = [
    ("missing input file", BASE + "[files]\ncompress = payload/nothere.bin\n", None, "cannot read"),
    ("malformed line", BASE + "this is not a key\n", None, ":4: expected 'key = value'"),
    ("unknown key", BASE + "[files]\nzip = payload/data.bin\n", None, ":5: unknown key 'zip'"),
    ("device name", BASE + "[files]\ncompress-folder = payload\n", "nul.txt", "not a plain file name"),
    ("wildcard in a name", BASE + "[files]\ncompress-folder = payload\n", "a*b.txt", "not a plain file name"),
    ("part size too small", BASE + "part-size = 2100\n[files]\ncompress-folder = payload\n", None, "too small"),
]


@pytest.mark.parametrize("name, description, extra, message", BAD_INPUT, ids=[case[0] for case in BAD_INPUT])
def test_bad_input_gives_a_message_and_no_output(setup_folder, name, description, extra, message):
    if extra:
        (setup_folder / "payload" / extra).write_text("x")
    (setup_folder / "bad.desc").write_text(description)
    result = run("build", "bad.desc", cwd=setup_folder)
    assert result.returncode == 1
    assert result.stderr.startswith("packbuild: ") and message in result.stderr, result.stderr
    assert list((setup_folder / "out").iterdir()) == []


def test_failed_build_keeps_the_previous_setup(setup_folder):
    (setup_folder / "good.desc").write_text(BASE + "[files]\ncompress-folder = payload\n")
    assert run("build", "good.desc", cwd=setup_folder).returncode == 0
    before = (setup_folder / "out/MySetup.exe").read_bytes()
    # The packed file vanishes while the description still names it.
    (setup_folder / "bad.desc").write_text(BASE + "[files]\ncompress-folder = payload\ncompress = gone.bin\n")
    assert run("build", "bad.desc", cwd=setup_folder).returncode == 1
    assert (setup_folder / "out/MySetup.exe").read_bytes() == before
    assert [p.name for p in (setup_folder / "out").iterdir()] == ["MySetup.exe"]


def test_part_files_inspect_and_a_damaged_part_is_reported(setup_folder):
    (setup_folder / "span.desc").write_text(BASE + "part-size = 8K\n[files]\nstore-folder = payload\nrun = Engine.exe\n")
    built = run("build", "span.desc", cwd=setup_folder)
    assert built.returncode == 0, built.stderr
    parts = sorted((setup_folder / "out").iterdir())
    assert [p.name for p in parts[:3]] == ["MySetup.exe", "MySetup.exe.002", "MySetup.exe.003"]
    assert all(p.stat().st_size <= 8192 for p in parts)
    for i, part in enumerate(parts):
        result = run("inspect", part, cwd=setup_folder)
        assert result.returncode == 0, result.stdout
        assert ("next-part: " in result.stdout) == (i + 1 < len(parts))
        assert ("language:" in result.stdout or "agent-location" in result.stdout) == (i == 0)
    # The pieces of every file add up to its size.
    total = {}
    for part in parts:
        for r in records(run("inspect", part, cwd=setup_folder).stdout):
            total[r["name"]] = total.get(r["name"], 0) + int(r["unpacked"])
    assert total == {f.name: f.stat().st_size for f in (setup_folder / "payload").iterdir()}

    damaged = bytearray(parts[1].read_bytes())
    damaged[100] ^= 0xFF
    parts[1].write_bytes(bytes(damaged))
    result = run("inspect", parts[1], cwd=setup_folder)
    assert result.returncode == 1
    assert "FAILS" in result.stdout


def test_inspect_of_a_file_that_is_no_package(setup_folder):
    result = run("inspect", setup_folder / "packstub.exe", cwd=setup_folder)
    assert result.returncode == 1
    assert "(not a package)" in result.stdout


def test_inform_writes_both_forms(setup_folder):
    (setup_folder / "news.txt").write_text("<B>Version 2</B> | now available")
    for scrambled in (False, True):
        args = ["inform", "--token", "tok-9", "--body", "news.txt", "--output", "out/p.inform"] + (["--scrambled"] if scrambled else [])
        result = run(*args, cwd=setup_folder)
        assert result.returncode == 0, result.stderr
        text = (setup_folder / "out/p.inform").read_bytes()
        assert text.startswith(b"Scrambled=01") == scrambled
        assert text.endswith(b"|||<B>Version 2</B> | now available") != scrambled
    assert run("inform", "--token", "t", "--output", "x", cwd=setup_folder).returncode == 2
