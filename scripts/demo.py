#!/usr/bin/env python3
"""make demo: a sample setup made with the builder, run under Wine as a user runs it.

The setup carries a few sample files and the setup engine stand-in. It runs with its status
window on the virtual display; the demo takes a screenshot of the status window while the files
are extracted and one of the engine's window, then prints the files the engine found, the command
line it was started with, the setup's exit code and whether the extraction folder is gone.
Needs the native tree and the tree that `scripts/winenv stub-tree` names (win32, or win64 on a
host that runs no 32-bit code), and the environment of scripts/winenv; the output goes to
build/demo/."""
import json
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
DEMO = ROOT / "build" / "demo"
STUB_TREE = subprocess.run([ROOT / "scripts" / "winenv", "stub-tree"], capture_output=True, text=True,
                           check=True).stdout.strip()
TESTING = ROOT / "build" / STUB_TREE / "testing"
PACKSTUB = ROOT / "build" / STUB_TREE / "stub" / "packstub.exe"
PACKBUILD = ROOT / "build" / "native" / "tools" / "packbuild"
PROBE = TESTING / "guiprobe.exe"
ENGINE_WINDOW = ("--class", "EngineStandIn")


def environment():
    script = f'eval "$("{ROOT}/scripts/winenv" env)" && env -0'
    out = subprocess.run(["bash", "-c", script], capture_output=True, text=True, check=True, timeout=120).stdout
    env = dict(item.split("=", 1) for item in out.split("\0") if "=" in item)
    env["TZ"] = "UTC"
    return env


ENV = environment()


def wine(*args, timeout=60):
    return subprocess.run(["wine", *map(str, args)], env=ENV, stdin=subprocess.DEVNULL, capture_output=True,
                          text=True, timeout=timeout)


def winpath(path):
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def unixpath(windows_path):
    return Path(subprocess.run(["winepath", "-u", windows_path], env=ENV, capture_output=True, text=True,
                               timeout=60).stdout.strip())


def wait_for_window(*selector, timeout_ms=30000):
    found = wine(PROBE, "wait", *selector, "--timeout", timeout_ms, timeout=timeout_ms / 1000 + 30)
    if found.returncode != 0:
        sys.exit(f"demo: no window {' '.join(selector)} appeared")


def progress_of(title):
    """(position, end) of the main progress bar of the visible window, None when it is not shown."""
    shown = wine(PROBE, "show", "--title", title, "--visible")
    if shown.returncode != 0:
        return None
    bars = [c for c in json.loads(shown.stdout.splitlines()[0])["children"] if c["class"] == "msctls_progress32"]
    main = max(bars, key=lambda c: c["rect"][2] - c["rect"][0])
    return main["pos"], main["range"][1]


def shoot_status_window(title, name, engine_window):
    """A screenshot once the window is up, taken again as soon as its progress bar moves. A short
    extraction may be over before the bar is seen moving: once the engine's window is up, the
    first screenshot stays."""
    path = screenshot(name)
    while (progress := progress_of(title)) is not None and not window_shown(*engine_window):
        if progress[0] > 0:
            return screenshot(name)
        time.sleep(0.02)
    return path


def window_shown(*selector):
    return wine(PROBE, "show", *selector, "--visible").returncode == 0


def screenshot(name):
    path = DEMO / name
    subprocess.run(["import", "-display", ENV["DISPLAY"], "-window", "root", str(path)], env=ENV, check=True,
                   timeout=60)
    return path


def make_sample_setup():
    payload = DEMO / "payload"
    shutil.rmtree(DEMO, ignore_errors=True)
    payload.mkdir(parents=True)
    (payload / "readme.txt").write_text("Sample Product\r\n\r\nThese files came out of the setup package.\r\n" * 40)
    (payload / "license.txt").write_text("Permission is granted to try this sample.\r\n" * 200)
    (payload / "sample.dat").write_bytes(os.urandom(8_000_000) + b"sample data\r\n" * 1_000_000)
    shutil.copyfile(TESTING / "Engine.exe", payload / "Engine.exe")
    report = DEMO / "engine.jsonl"
    (DEMO / "sample.desc").write_text(f"""[setup]
stub = {PACKSTUB}
output = {DEMO / "SampleSetup.exe"}
show-activity-bar = yes

[language English]
s0 = Sample Product Setup
s1 = Extracting the sample files...

[files]
compress-folder = payload
run = Engine.exe
run-arguments = /ENGINE_SHOW_MS=4000 /ENGINE_REPORT="{winpath(report)}"
""")
    subprocess.run([str(PACKBUILD), "build", str(DEMO / "sample.desc")], check=True, timeout=120,
                   env=dict(os.environ, TZ="UTC"))
    return DEMO / "SampleSetup.exe", report


def main():
    for needed in (PACKSTUB, PACKBUILD, PROBE, TESTING / "Engine.exe"):
        if not needed.exists():
            sys.exit(f"demo: {needed} is missing (make native {STUB_TREE})")
    setup, report = make_sample_setup()
    if STUB_TREE != "win32":
        print("demo: this host runs no 32-bit code: the setup is made with packstub's 64-bit build")
    print(f"demo: built {setup.relative_to(ROOT)} ({setup.stat().st_size} bytes) with the setup builder")

    started = time.monotonic()
    running = subprocess.Popen(["wine", str(setup), "/demo"], env=ENV, stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # Wine's desktop process ends a while after its last window, and a setup and a probe started
    # together race to bring it up again: the loser waits for the winner to end. The probe starts
    # once the setup has brought it up; the status window shows at its first tick, a second on.
    time.sleep(0.8)
    try:
        wait_for_window("--title", "Sample Product Setup", "--visible")
        shots = [shoot_status_window("Sample Product Setup", "status-window.png", ENGINE_WINDOW)]
        wait_for_window(*ENGINE_WINDOW, "--visible")
        time.sleep(0.5)
        shots.append(screenshot("engine-window.png"))
        code = running.wait(timeout=120)
    finally:
        if running.poll() is None:
            running.kill()
            running.wait(timeout=30)
    seconds = time.monotonic() - started

    engine = next(json.loads(line) for line in report.read_text(encoding="latin-1").splitlines()
                  if "commandLine" in line)
    folder = unixpath(engine["folder"])
    print(f"demo: the setup ran for {seconds:.1f} s and ended with exit code {code}")
    print(f"demo: the engine ran in {engine['folder']}")
    print(f"demo: its command line: {engine['commandLine']}")
    print("demo: the files it found there:")
    for entry in engine["files"]:
        print(f"        {entry['name']:<14} {entry['size']:>9} bytes")
    print(f"demo: completion atom deleted by the engine: {engine['atomDeleted']}")
    print(f"demo: the extraction folder is {'still there' if folder.exists() else 'gone'}")
    print("demo: screenshots: " + ", ".join(str(s.relative_to(ROOT)) for s in shots))
    return 0 if code == 0 and not folder.exists() else 1


if __name__ == "__main__":
    sys.exit(main())
