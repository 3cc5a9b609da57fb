"""Setup files made by the builder, run under Wine the way a user runs them: the extraction into
its folder, the setup engine stand-in started with its command line, the hand-shake, the exit
code, the questions and error boxes, and the folder gone afterwards."""
import re
import struct
import time

import pytest

from conftest import PACKSTUB, SAMPLE_DOS_DATE, SAMPLE_FILES, dos_date_time, extraction_folder, wait_for

TRAILER = 74
PROGRESS = "msctls_progress32"


def box_text(probe, timeout_ms=20000):
    box = probe.wait(cls="KMsgBox", timeout_ms=timeout_ms)
    assert box, "no message box appeared"
    window = probe.show(hwnd=box["hwnd"])
    [text] = [c["text"] for c in window["children"] if c["class"].upper() == "RICHEDIT"]
    return window["hwnd"], text


def press(probe, hwnd, button):
    assert probe.click(hwnd=hwnd, button=button)
    assert probe.wait_gone(hwnd=hwnd)


def flip_byte(path, offset):
    data = bytearray(path.read_bytes())
    data[offset] ^= 0x5A
    path.write_bytes(bytes(data))


def debug_lines(debug_viewer):
    return debug_viewer.text().decode("latin-1").splitlines()


def test_files_arrive_with_their_dates_and_the_folder_goes(engine_setup, wine):
    setup = engine_setup(sections={"setup": {"show-activity-bar": "yes"}})
    result = wine.run(setup.path, "/hide", timeout=60)
    assert result.returncode == 0
    engine = setup.engine()
    folder = extraction_folder(wine, setup.path)
    assert wine.unixpath(engine["folder"]) == folder
    assert setup.copied() == setup.payload_files()
    assert {f["name"]: f["date"] for f in engine["files"]} == {name: SAMPLE_DOS_DATE for name in setup.copied()}
    assert engine["atomFound"] and engine["atomDeleted"]
    assert not folder.exists()


@pytest.mark.parametrize("run_args, params, expected", [
    ("/silent", ["/x"], "{engine} /x /silent {own} /TH_ID={tag} /OriginExe=\"{setup}\""),
    ("", ["/OriginExe=C:\\cd\\Setup.exe"], "{engine} /OriginExe=C:\\cd\\Setup.exe {own} /TH_ID={tag}"),
    ("/a", ["/hide", "/lang=de"], "{engine} /hide /lang=de /a {own} /TH_ID={tag} /OriginExe=\"{setup}\""),
], ids=["run name arguments after given parameters", "a given /OriginExe=", "hidden"])
def test_engine_command_line(engine_setup, wine, run_args, params, expected):
    setup = engine_setup(engine_args=run_args)
    assert wine.run(setup.path, *params, timeout=60).returncode == 0
    engine = setup.engine()
    own = (f'/ENGINE_REPORT="{wine.winpath(setup.report)}" '
           f'/ENGINE_COPY_TO="{wine.winpath(setup.copies)}"')
    assert re.fullmatch(r"_\d+", engine["threadTag"])
    assert engine["commandLine"] == expected.format(engine=engine["folder"] + "\\Engine.exe", own=own,
                                                    tag=engine["threadTag"], setup=wine.winpath(setup.path))


def test_spanned_set_items_do_not_reach_the_engine(engine_setup, wine):
    setup = engine_setup("copy/Setup.exe")
    source = wine.winpath(setup.path)
    assert wine.run(setup.path, "/SpanCdLvl=2", f"/SpanDiskFName1={source}", "/q", timeout=60).returncode == 0
    command = setup.engine()["commandLine"]
    assert "/SpanCdLvl=" not in command and "/SpanDiskFName1=" not in command
    assert command.startswith(setup.engine()["folder"] + "\\Engine.exe /q /ENGINE_REPORT=")
    # A stub run as the Y_ copy removes its own file and folder afterwards.
    wait_for(lambda: not setup.path.parent.exists(), 30, "the copy to remove itself")


@pytest.mark.parametrize("code", [0, 3, 255])
def test_the_engines_exit_code_is_the_setups(engine_setup, wine, code):
    setup = engine_setup(engine_args=f"/ENGINE_EXIT={code}")
    assert wine.run(setup.path, "/hide", timeout=60).returncode == code


@pytest.mark.parametrize("keep_atom, remove_startup, remove_update, deleted", [
    (False, "1", "1", {"startup.lnk", "update.lnk"}),
    (False, "1", "0", {"startup.lnk"}),
    (False, "yes", "1", {"update.lnk"}),
    (True, "1", "1", set()),
])
def test_shortcuts_go_only_after_a_completed_setup(engine_setup, wine, tmp_path, keep_atom, remove_startup,
                                                   remove_update, deleted):
    setup = engine_setup("product/Setup.exe", engine_args="/ENGINE_KEEP_ATOM" if keep_atom else "",
                         sections={"agent": {"info-file": "product.v2.info"}})
    links = {name: tmp_path / name for name in ("startup.lnk", "update.lnk")}
    for link in links.values():
        link.write_text("shortcut")
    folder = setup.path.parent
    (folder / "product.original").write_text(
        f"[UnInstall]\r\nStartUpLink={wine.winpath(links['startup.lnk'])}\r\n"
        f"CheckforNewUpdateLink={wine.winpath(links['update.lnk'])}\r\n")
    (folder / "product.v2.info").write_text(
        f"[NewSetup]\r\nRemoveStartUpShortcut={remove_startup}\r\n"
        f"RemoveCheckForNewUpdateShortcut={remove_update}\r\n")
    assert wine.run(setup.path, "/hide", timeout=60).returncode == 0
    assert setup.engine()["atomDeleted"] is not keep_atom
    assert {name for name, link in links.items() if not link.exists()} == deleted


def test_the_launch_waits_for_the_engines_dialog_window(engine_setup, wine):
    setup = engine_setup(engine_args="/ENGINE_DIALOG_MS=3000")
    started = time.monotonic()
    assert wine.run(setup.path, "/hide", timeout=60).returncode == 0
    assert time.monotonic() - started > 3
    # Written by the dialog's process just before its window goes: the files were still there.
    assert {"dialog": "closing", "folderPresent": True} in setup.records()
    assert not extraction_folder(wine, setup.path).exists()


def space_texts():
    return {"language English": {"s2": "NOTICE <DRIVE>|", "s3": "SHORT <DRIVE>|", "s4": "NEED <SPACE_REQ>|",
                                 "s5": "FREE <SPACE_AVAIL>|", "s6": "GO ON?", "Confirm": "Question"}}


@pytest.mark.parametrize("answer, code", [("No", 1), ("Yes", 0)])
def test_space_question_when_the_package_always_asks(engine_setup, wine, probe, debug_viewer, answer, code):
    setup = engine_setup(sections={"setup": {"always-show-temp-notice": "yes"}, **space_texts()})
    running = wine.start(setup.path)
    hwnd, text = box_text(probe)
    assert re.search(r"NOTICE C:\|NEED \d+\.\d{3}\|FREE \d+\.\d\|GO ON\?", text), text
    press(probe, hwnd, answer)
    assert running.wait(60) == code
    extracted = any(line.startswith("FileInfo.FilesCount=") for line in debug_lines(debug_viewer))
    assert extracted is (answer == "Yes")
    assert (setup.engine() is not None) is (answer == "Yes")
    assert not extraction_folder(wine, setup.path).exists()


def test_no_space_question_when_hidden(engine_setup, wine, probe):
    setup = engine_setup(sections={"setup": {"always-show-temp-notice": "yes"}, **space_texts()})
    assert wine.run(setup.path, "/hide", timeout=60).returncode == 0
    assert setup.engine() is not None
    assert probe.list(cls="KMsgBox") == []


def blocks(path):
    """(offset, length field) of every block of a setup file, text blocks first."""
    data = path.read_bytes()
    at = struct.unpack_from("<I", data, len(data) - TRAILER + 4)[0]
    found = []
    while len(data) - at > TRAILER:
        length = struct.unpack_from("<i", data, at)[0]
        found.append((at, length))
        at += 4 + abs(length)
    return found


def damage_checksum(path):
    at, length = blocks(path)[-1]
    flip_byte(path, at + 4 + length // 2)


damage_stream = damage_checksum  # with the checksum off, only zlib can tell


def damage_length(path):
    at, _ = blocks(path)[3]
    data = bytearray(path.read_bytes())
    data[at:at + 4] = struct.pack("<i", 1 << 30)
    path.write_bytes(bytes(data))


@pytest.mark.parametrize("checksum, damage, zlib_text", [
    ("yes", damage_checksum, None),
    ("no", damage_stream, "data error"),
    ("no", damage_length, None),
], ids=["checksum", "zlib stream", "block past the end"])
def test_a_damaged_package_shows_s7_and_starts_no_engine(engine_setup, wine, probe, checksum, damage, zlib_text):
    files = {"readme.txt": SAMPLE_FILES["readme.txt"], "zz-last.bin": SAMPLE_FILES["data.bin"]}
    setup = engine_setup(files=files, sections={"setup": {"checksum": checksum},
                                                "language English": {"s7": "PACKAGE DAMAGED", "Error": "Oops"}})
    damage(setup.path)
    running = wine.start(setup.path)
    hwnd, text = box_text(probe)
    assert "PACKAGE DAMAGED" in text
    assert ("data error" in text) is (zlib_text is not None)
    press(probe, hwnd, "OK")
    assert running.wait(60) == 2
    assert setup.engine() is None
    assert not extraction_folder(wine, setup.path).exists()


def test_249_records_fill_the_progress_bar(engine_setup, wine, probe):
    files = {f"file{i:03d}.txt": f"file {i}\n".encode() for i in range(248)}
    setup = engine_setup(files=files, engine_args="/ENGINE_RUN_MS=5000")
    running = wine.start(setup.path, "/hide")
    wait_for(setup.engine, 60, "the engine to start")
    window = probe.show(cls=wine.winpath(setup.path))
    bars = sorted((c for c in window["children"] if c["class"] == PROGRESS), key=lambda c: c["rect"][0])
    assert (bars[0]["range"], bars[0]["pos"]) == ([0, 249], 249)
    assert len(setup.engine()["files"]) == 249
    assert running.wait(60) == 0


def test_a_refused_record_name_writes_nothing_outside_and_the_rest_goes_on(engine_setup, wine, probe):
    files = {"xxxxxxxxxxxxx.txt": b"outside", "zz.txt": b"inside"}
    setup = engine_setup(files=files, sections={"setup": {"checksum": "no"}}, form="store")
    data = setup.path.read_bytes()
    name = b"..\\outside.txt".ljust(len(b"xxxxxxxxxxxxx.txt"), b"|")
    setup.path.write_bytes(data.replace(b"|xxxxxxxxxxxxx.txt|", b"|" + name + b"|", 1))
    folder = extraction_folder(wine, setup.path)
    running = wine.start(setup.path)
    hwnd, text = box_text(probe)
    assert "..\\outside.txt" in text and "Unable to save Extracted File!" in text
    assert "The file name is not allowed." in text
    press(probe, hwnd, "OK")
    assert running.wait(60) == 0
    assert sorted(setup.copied()) == ["Engine.exe", "zz.txt"]
    assert not (folder.parent / "outside.txt").exists()


def test_a_file_cut_at_a_part_boundary_is_joined(engine_setup, wine):
    big = bytes((i * 31 + i // 1000) & 0xFF for i in range(3_000_000))
    setup = engine_setup(files={"big.bin": big, "small.txt": b"small"}, sections={"setup": {"part-size": "1M"}},
                         form="store")
    assert setup.path.with_name("Setup.exe.002").exists()
    assert wine.run(setup.path, "/hide", timeout=60).returncode == 0
    assert setup.copied()["big.bin"] == big


def test_update_agent_file_of_an_exe_source(engine_setup, wine):
    setup = engine_setup(sections={"setup": {"write-agent": "yes", "end-mark": "yes"},
                                   "agent": {"agent-file": "Agent.exe"}})
    source = setup.path.read_bytes()
    assert wine.run(setup.path, "/hide", timeout=60).returncode == 0
    agent = setup.copied()["Agent.exe"]
    source_trailer, trailer = source[-TRAILER:], agent[-TRAILER:]
    assert agent[:252] == source[:252] and agent[252:256] == b"\0\0\0\0"
    assert agent[256:-TRAILER] == source[256:len(agent) - TRAILER]
    assert trailer[69] == 1 and struct.unpack_from("<I", trailer, 70)[0] == TRAILER
    assert trailer[:69] == source_trailer[:69], "the other fields, the checksum among them, as read"
    dates = {f["name"]: f["date"] for f in setup.engine()["files"]}
    assert dates["Agent.exe"] == dos_date_time(setup.path), "the setup file's last-write time"
    # Program image and the two text blocks, no file records.
    at = struct.unpack_from("<I", trailer, 4)[0]
    for _ in range(2):
        at += 4 + struct.unpack_from("<i", agent, at)[0]
    assert at == len(agent) - TRAILER


def test_no_agent_file_from_a_source_that_is_not_an_exe(engine_setup, wine):
    setup = engine_setup(sections={"setup": {"write-agent": "yes"}, "agent": {"agent-file": "Agent.exe"}})
    other = setup.path.with_name("Setup.dat")
    other.write_bytes(setup.path.read_bytes())
    assert wine.run(setup.path, "/hide", f"/SpanDiskFName1={wine.winpath(other)}", timeout=60).returncode == 0
    assert "Agent.exe" not in setup.copied()
    assert "Engine.exe" in setup.copied()


def test_end_mark_and_appended_signature(engine_setup, wine, tmp_path):
    signature = tmp_path / "signature.bin"
    signature.write_bytes(b"SIGNED" * 2000)
    setup = engine_setup(sections={"setup": {"end-mark": "yes", "append": signature}})
    assert setup.path.read_bytes().endswith(signature.read_bytes())
    assert wine.run(setup.path, "/hide", timeout=60).returncode == 0
    assert setup.copied() == setup.payload_files()


def test_a_web_delivered_setup_says_it_is_not_built_and_ends_with_2(build_setup, wine, debug_viewer):
    setup = build_setup(PACKSTUB, "web/Setup.exe", {"setup": {"web-setup": "yes"},
                                                    "web": {"location": "http://127.0.0.1:9/files", "file": "Real.exe"}})
    assert wine.run(setup, "/hide", timeout=60).returncode == 2
    lines = debug_lines(debug_viewer)
    pid = lines[0].split()[0]
    assert f"{pid} RunWebSetup: web-delivered setups are not built yet; nothing was fetched or started" in lines
    assert not extraction_folder(wine, setup).exists()


def test_a_program_that_cannot_be_started_ends_the_setup_with_2(build_setup, wine, tmp_path, debug_viewer):
    payload = tmp_path / "payload"
    payload.mkdir()
    (payload / "readme.txt").write_text("not a program")
    setup = build_setup(PACKSTUB, "out/Setup.exe", {"files": {"compress-folder": payload, "run": "readme.txt"}})
    assert wine.run(setup, "/hide", timeout=60).returncode == 2
    lines = debug_lines(debug_viewer)
    pid = lines[0].split()[0]
    assert any(line.startswith(f"{pid} ==== the setup engine could not be started") for line in lines)
    assert not extraction_folder(wine, setup).exists()
