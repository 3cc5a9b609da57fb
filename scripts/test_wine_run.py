"""The test emulator scripts/wine-run hands on a program's output and closes it when the program
ends, even when the program made Wine start its desktop process (which outlives it)."""
import os
import pathlib
import subprocess
import time

ROOT = pathlib.Path(__file__).resolve().parents[1]
PREFIX = ROOT / "build" / "wine" / "prefix"
# A program that opens a window: the bridge test that shows one message box.
GUI_TEST = [str(pathlib.Path(os.environ["BRIDGE_BIN_DIR"]) / "bridge_KernelControl_test.exe"),
            "--gtest_filter=BridgeControl.TestShowsItsText"]


def desktop_running():
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            command = pathlib.Path(f"/proc/{pid}/cmdline").read_bytes()
            environment = pathlib.Path(f"/proc/{pid}/environ").read_bytes()
        except OSError:
            continue
        if b"explorer.exe" in command and f"WINEPREFIX={PREFIX}".encode() in environment:
            return True
    return False


def test_output_ends_with_the_program_while_the_desktop_lives_on():
    # Only a program that starts the desktop itself shows the fault.
    deadline = time.monotonic() + 30
    while desktop_running() and time.monotonic() < deadline:
        time.sleep(0.5)
    assert not desktop_running()

    run = subprocess.Popen([str(ROOT / "scripts" / "wine-run"), *GUI_TEST],
                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    run.wait(timeout=30)
    ended = time.monotonic()
    desktop_outlives_the_program = desktop_running()
    output = run.stdout.read()
    waited = time.monotonic() - ended

    assert run.returncode == 0, output.decode(errors="replace")
    assert b"[  PASSED  ] 1 test" in output
    assert desktop_outlives_the_program
    assert waited < 0.5
