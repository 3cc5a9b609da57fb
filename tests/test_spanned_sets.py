"""Setups spread over part files: the spanned-CD launcher that re-runs itself from a Y_ copy, the
disk prompts (registry value ForcePrompt, a missing part) and the files joined across parts."""
import subprocess

import pytest

from conftest import extraction_folder, wait_for
from test_setup_launch import box_text, press

FORCE_PROMPT_KEY = r"HKCU\Software\Vandrel\Kestix\SpanDisk"
BIG = bytes((i * 131 + i // 4096) & 0xFF for i in range(600_000))


def spanned_setup(engine_setup, output="disk/Setup.exe", part_size="600K", sections=None):
    sections = dict(sections or {})
    sections["setup"] = {"spanned-cd-set": "yes", "part-size": part_size, **sections.get("setup", {})}
    setup = engine_setup(output, files={"big.bin": BIG, "readme.txt": b"read me\r\n"}, sections=sections,
                         form="store")
    return setup, sorted(setup.path.parent.glob("Setup.exe.0*"))


@pytest.fixture
def force_prompt(wine):
    def reg(*args):
        subprocess.run(["wine", "reg", *args], env=wine.env, capture_output=True, timeout=60)

    reg("add", FORCE_PROMPT_KEY, "/v", "ForcePrompt", "/d", "1", "/f")
    yield
    reg("delete", FORCE_PROMPT_KEY, "/v", "ForcePrompt", "/f")


def test_the_launcher_runs_a_y_copy_that_extracts_the_parts_and_removes_itself(engine_setup, wine, probe):
    setup, parts = spanned_setup(engine_setup)
    assert len(parts) >= 3
    assert wine.run(setup.path, "/lang=de", timeout=60).returncode == 0
    engine = wait_for(setup.engine, 60, "the Y_ copy's engine to start")
    folder = wine.unixpath(engine["folder"])
    assert folder == extraction_folder(wine, setup.path)
    # The Y_ copy ran from the extraction folder, the engine was told the disk's program.
    assert "Y_Setup.exe" in {f["name"] for f in engine["files"]}
    assert engine["commandLine"] == (f'{engine["folder"]}\\Engine.exe /lang=de /OriginExe="{wine.winpath(setup.path)}" '
                                     f'/ENGINE_REPORT="{wine.winpath(setup.report)}" '
                                     f'/ENGINE_COPY_TO="{wine.winpath(setup.copies)}" /TH_ID={engine["threadTag"]}')
    copied = setup.copied()
    assert copied["big.bin"] == BIG and copied["readme.txt"] == b"read me\r\n"
    assert probe.list(cls="KMsgBox") == [], "every part lay beside the first"
    wait_for(lambda: not folder.exists(), 60, "the Y_ copy to remove itself and its folder")


def test_forced_prompt_asks_once_for_the_second_part(engine_setup, wine, probe, force_prompt):
    setup, parts = spanned_setup(engine_setup, part_size="1600K")
    assert [p.name for p in parts] == ["Setup.exe.001", "Setup.exe.002"]
    assert wine.run(setup.path, timeout=60).returncode == 0
    hwnd, text = box_text(probe, timeout_ms=30000)
    assert "Please insert DISK #2 and press OK to continue" in text
    press(probe, hwnd, "OK")
    engine = wait_for(setup.engine, 60, "the engine to start")
    assert setup.copied()["big.bin"] == BIG
    assert probe.list(cls="KMsgBox") == []
    wait_for(lambda: not wine.unixpath(engine["folder"]).exists(), 60, "the Y_ copy to remove itself")


def test_cancel_for_a_missing_third_part_starts_nothing(engine_setup, wine, probe, tmp_path):
    setup, parts = spanned_setup(engine_setup)
    assert len(parts) >= 3
    parts[2].unlink()
    # The Y_ step run by hand, so that its exit code can be seen.
    copy = tmp_path / "ycopy" / "Setup.exe"
    copy.parent.mkdir()
    copy.write_bytes(setup.path.read_bytes())
    folder = extraction_folder(wine, copy)
    running = wine.start(copy, "/SpanCdLvl=2", f"/SpanDiskFName1={wine.winpath(parts[0])}")
    hwnd, text = box_text(probe, timeout_ms=30000)
    assert "DISK #3" in text
    press(probe, hwnd, "Cancel")
    assert running.wait(60) == 1
    assert setup.engine() is None
    assert not folder.exists()
    wait_for(lambda: not copy.parent.exists(), 30, "the copy to remove itself")


def test_update_agent_file_of_a_first_part(engine_setup, wine):
    setup, parts = spanned_setup(engine_setup, sections={"setup": {"write-agent": "yes"},
                                                         "agent": {"agent-file": "Agent.exe"}})
    assert wine.run(setup.path, timeout=60).returncode == 0
    wait_for(setup.engine, 60, "the engine to start")
    agent = setup.copied()["Agent.exe"]
    first = parts[0].read_bytes()
    assert agent[-74 + 69] == 1
    assert agent[:-74] == first[:len(agent) - 74]
