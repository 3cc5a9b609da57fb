"""packstub.exe started as a user or another program starts it: its start and end lines, the
role it takes, the plain agent's X_ copy and its parameters, the version it reports, and the
libraries it refuses to take from the setup file's folder."""

import re

import pytest

import shutil

from conftest import FIXTURES, PACKSTUB, ROOT, STUB_TREE, fixture_exe, wait_for

AGENT = {"setup": {"auto-update-prog": "yes", "debug-log": "yes"},
         "agent": {"agent-file": "Agent.exe", "location": "http://127.0.0.1:9/updates"}}


def packstub():
    if not PACKSTUB.exists():
        pytest.fail(f"{PACKSTUB} is missing: build the {STUB_TREE} tree first (make {STUB_TREE})")
    return PACKSTUB


def program_version():
    rc = (ROOT / "stub" / "core" / "packstub.rc").read_text()
    return ".".join(re.search(r"^FILEVERSION (\d+),(\d+),(\d+),(\d+)", rc, re.M).groups())


def run_log(path):
    """(indent, message) of each run log line: date and time, thread id, indent, message."""
    if not path.exists():
        return []
    return [(line[23:26], line[26:]) for line in path.read_text(encoding="latin-1").splitlines()]


def runs(entries, indent):
    """The messages of each run whose lines carry the indent, one list per "=== START ===" line."""
    result = []
    for mark, message in entries:
        if mark != indent:
            continue
        if message.startswith("=== START === "):
            result.append([])
        if result:
            result[-1].append(message)
    return result


def test_spanned_set_launcher_hands_over_to_its_y_copy_and_ends_without_a_window(build_setup, wine, debug_viewer):
    setup = build_setup(packstub(), "out/Setup.exe", {"setup": {"spanned-cd-set": "yes"}})
    assert wine.run(setup, timeout=60).returncode == 0
    lines = lambda: debug_viewer.text().decode("latin-1").splitlines()
    pid = lines()[0].split()[0]
    assert f"{pid} ==== STUB END ====> \"{wine.winpath(setup)}\"<" in lines()
    # The launcher itself never made its window; the Y_ copy (another process) does.
    wait_for(lambda: any("Y_Setup.exe /SpanCdLvl=2 /SpanDiskFName1=" in line and "STUB END" in line
                         for line in lines()), 60, "the Y_ copy to end")
    launcher = [line for line in lines() if line.startswith(pid + " ")]
    assert launcher == [f"{pid} ==== STUB START ====> \"{wine.winpath(setup)}\"<",
                        f"{pid} ==== ThisIs_AutoUpdateProg=FALSE", f"{pid} ==== STUB END ====> \"{wine.winpath(setup)}\"<"]


def test_span_level_2_removes_the_program_and_its_folder_after_the_run(build_setup, wine):
    setup = build_setup(packstub(), "copy/Setup.exe")
    # A package without files names no program to run: nothing was installed.
    assert wine.run(setup, "/SpanCdLvl=2", timeout=60).returncode == 2
    wait_for(lambda: not setup.parent.exists(), 30, "the program and its folder to be removed")


def test_setup_stub_runs_its_window_and_its_launch(build_setup, wine, debug_viewer):
    setup = build_setup(packstub(), "out/Setup.exe", {"language English": {"s0": "Acme"}})
    result = wine.run(setup, "/x=1", timeout=60)
    assert result.returncode == 2
    lines = debug_viewer.text().decode("latin-1").splitlines()
    pid = lines[0].split()[0]
    command_line = f'"{wine.winpath(setup)}" /x=1'
    assert re.fullmatch(r"UnCompressTime: \d+ MS", lines[5])
    assert lines[:5] + lines[6:] == [
        f"{pid} ==== STUB START ====> {command_line}<", f"{pid} ==== ThisIs_AutoUpdateProg=FALSE",
        "========= ForegroundOp=TRUE ==========", "FileInfo.FilesCount=0", f"FileLen={setup.stat().st_size}",
        "", "- wm_Destroy -", f"{pid} ==== STUB END ====> {command_line}<", ""]


def test_plain_agent_makes_and_starts_its_x_copy(build_setup, wine):
    agent = build_setup(packstub(), "app/Agent.exe", AGENT)
    x_copy = agent.parent / "X_Agent.exe"
    log = agent.parent / "X_Agent.log"
    result = wine.run(agent, "/TRANSIENT=|1|0|", "/DELAY=5", "/WAIT=abc", timeout=60)
    assert result.returncode == 0
    wait_for(lambda: any("=== EXIT === " in m for m in sum(runs(run_log(log), " X "), [])), 30,
             "the X_ copy to end")
    [plain] = runs(run_log(log), "   ")
    assert plain[0] == "=== START === " + wine.winpath(agent)
    assert plain[1] == f'CommandLine="{wine.winpath(agent)}" /TRANSIENT=|1|0| /DELAY=5 /WAIT=abc'
    assert plain[2:5] == ["Agent Version=" + program_version(), "DoRunStubWin() --- Start", "X_ExeIsRunning=FALSE"]
    assert "ThisIs_Plain_AutoUpdate_Exe=TRUE" in plain
    started = plain.index("CreateAndRun_X_Exe() --- Start")
    assert plain[started + 1:started + 5] == [
        "Wait 0 SEC", "Create X_ File ", f'WinExec: "{wine.winpath(x_copy)}" /TRANSIENTx=|1|0| /SleepX=5',
        "CreateAndRun_X_Exe() --- End"]
    assert plain.index("HandleParamOK() --- Start") > started
    [x_run] = runs(run_log(log), " X ")
    assert x_run[1] == f'CommandLine="{wine.winpath(x_copy)}" /TRANSIENTx=|1|0| /SleepX=5'
    assert x_run[2] == "Agent Version=" + program_version()
    assert "ThisIs_X_AutoUpdate_Exe=TRUE" in x_run
    assert x_run.index("CheckTestMode") < x_run.index("WinMain") < x_run.index("DeleteMySelf")
    # The X_ copy removes its own file once it has ended.
    wait_for(lambda: not x_copy.exists(), 30, "the X_ copy to remove itself")


@pytest.mark.parametrize("params, makes_copy", [((), False), (("/_ZZ=99",), True), (("/_ZZ=98",), False)])
def test_a_running_x_agent_is_left_alone_unless_zz_is_99(build_setup, wine, probe, params, makes_copy):
    agent = build_setup(packstub(), "app/Agent.exe", AGENT)
    running = build_setup(fixture_exe("stubharness"), "app/X_Agent.exe", AGENT)
    report = agent.parent / "report.txt"
    started = wine.start(running, f'/REPORT={wine.winpath(report)}')
    try:
        assert probe.wait(cls=".AutoUpdate.X_Agent")
        wait_for(lambda: report.exists() and "ready" in report.read_text(), 30, "the running X_ agent")
        assert wine.run(agent, *params, timeout=60).returncode == 0
        [plain] = runs(run_log(agent.parent / "X_Agent.log"), "   ")
        assert "X_ExeIsRunning=TRUE" in plain
        assert ("Create X_ File " in plain) is makes_copy
        assert "HandleParamOK() --- Start" in plain
    finally:
        probe.close(cls=".AutoUpdate.X_Agent")
        probe.close(cls=".AutoUpdate.X_Agent")
        started.wait(15)


# Libraries the program loads by name. Wine would use its own build of most of them whatever lies
# beside the program; the override makes it search the way Windows does, so a plain load by name
# takes the planted copy. shell32.dll stays with Wine's default: Windows itself never takes it from
# the program's folder, and a planted one would stop any program that imports it. version.dll is
# left out because Wine's own system libraries load it while the process starts, before any of the
# program's code runs (the program binds it from the system folder; see the unit tests).
PLANTED = ["USP10.dll", "MSLS31.dll", "RICHED32.DLL", "WinINet.dll", "comctl32.dll"]
OVERRIDE = "usp10,msls31,riched32,wininet,comctl32=n,b"


def test_libraries_planted_beside_the_setup_file_are_not_loaded(build_setup, copy_fixture, wine):
    setup = build_setup(packstub(), "download/Setup.exe", {"language English": {"s0": "Acme"}})
    folder = setup.parent
    for name in PLANTED:
        shutil.copyfile(FIXTURES / "plantedlib.dll", folder / name)
    wine.env = dict(wine.env, WINEDLLOVERRIDES=wine.env.get("WINEDLLOVERRIDES", "") + ";" + OVERRIDE)
    traces = lambda: sorted(p.name.lower() for p in folder.glob("*.loaded"))
    # A program that loads them by bare name does take the planted copies.
    bare = copy_fixture("bareload", folder / "bareload.exe")
    assert wine.run(bare, *PLANTED).returncode == 0
    assert traces() == sorted(name.lower() + ".loaded" for name in PLANTED)
    for trace in folder.glob("*.loaded"):
        trace.unlink()
    assert wine.run(setup, timeout=60).returncode == 2
    assert traces() == []
