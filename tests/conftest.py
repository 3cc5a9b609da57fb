"""Fixtures of the integration tests: Windows programs run under the project's Wine environment,
output captured through files (a Wine process hands its standard output on to the programs it
starts, so a pipe could stay open after it has ended), every run with a time limit, and wrappers
around the GUI probe and the debug viewer."""

import calendar
import json
import os
import shutil
import signal
import subprocess
import time
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[1]
WINENV = ROOT / "scripts" / "winenv"
# packstub and the fixtures come from the win32 tree, or from the win64 tree on a host that runs
# no 32-bit code.
STUB_TREE = os.environ.get("STUB_TREE") or subprocess.run(
    [str(WINENV), "stub-tree"], capture_output=True, text=True).stdout.strip() or "win32"
BUILD = ROOT / "build" / STUB_TREE
FIXTURES = BUILD / "testing"
FIXTURES64 = ROOT / "build" / "win64" / "testing"
PACKBUILD = Path(os.environ.get("PACKBUILD", ROOT / "build" / "native" / "tools" / "packbuild"))
PACKSTUB = BUILD / "stub" / "packstub.exe"

os.environ["TZ"] = "UTC"
time.tzset()


class Result:
    def __init__(self, returncode, stdout, stderr):
        self.returncode = returncode
        self.stdout = stdout
        self.stderr = stderr

    @property
    def lines(self):
        return self.stdout.splitlines()


class Started:
    """A Windows program running in the background, in a process group of its own."""

    def __init__(self, popen, out_path):
        self.popen = popen
        self.out_path = out_path

    def wait(self, timeout):
        return self.popen.wait(timeout=timeout)

    def running(self):
        return self.popen.poll() is None

    def kill(self):
        if self.popen.poll() is None:
            try:
                os.killpg(self.popen.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.popen.wait(timeout=10)


class Wine:
    def __init__(self, env, scratch):
        self.env = env
        self.scratch = scratch
        self.started = []
        self.count = 0

    @staticmethod
    def winpath(path):
        """The Windows form of a Linux path: drive Z: is the Linux root."""
        return "Z:" + str(Path(path).resolve()).replace("/", "\\")

    def unixpath(self, windows_path):
        return Path(self._capture(["winepath", "-u", windows_path], 30).stdout.strip())

    def _files(self):
        self.count += 1
        return self.scratch / f"{self.count}.out", self.scratch / f"{self.count}.err"

    def _capture(self, argv, timeout, cwd=None):
        out_path, err_path = self._files()
        with open(out_path, "wb") as out, open(err_path, "wb") as err:
            popen = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=out, stderr=err, env=self.env,
                                     cwd=cwd, start_new_session=True)
            try:
                code = popen.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                os.killpg(popen.pid, signal.SIGKILL)
                popen.wait(timeout=10)
                raise AssertionError(f"{argv} still ran after {timeout} s") from None
        read = lambda p: p.read_bytes().decode("latin-1")
        return Result(code, read(out_path), read(err_path))

    def run(self, exe, *args, timeout=30, cwd=None):
        """Runs a Windows program to its end and returns its exit code and output."""
        return self._capture(["wine", str(exe), *map(str, args)], timeout, cwd)

    def start(self, exe, *args, cwd=None):
        """Starts a Windows program in the background; it is ended when the test ends."""
        out_path, err_path = self._files()
        with open(out_path, "wb") as out, open(err_path, "wb") as err:
            popen = subprocess.Popen(["wine", str(exe), *map(str, args)], stdin=subprocess.DEVNULL, stdout=out,
                                     stderr=err, env=self.env, cwd=cwd, start_new_session=True)
        started = Started(popen, out_path)
        self.started.append(started)
        return started

    def end_all(self):
        for started in self.started:
            started.kill()
        self.started.clear()


def _winenv(*args):
    return subprocess.run([str(WINENV), *args], stdin=subprocess.DEVNULL, capture_output=True, text=True,
                          timeout=300, check=True).stdout


@pytest.fixture(scope="session")
def wine_env():
    """The Wine environment; started for the session and stopped after it unless the caller
    (make test) manages it."""
    managed = os.environ.get("WINENV_MANAGED") == "1"
    script = f'eval "$("{WINENV}" env)" && env -0'
    out = subprocess.run(["bash", "-c", script], stdin=subprocess.DEVNULL, capture_output=True, text=True,
                         timeout=300, check=True).stdout
    env = dict(item.split("=", 1) for item in out.split("\0") if "=" in item)
    env["TZ"] = "UTC"
    yield env
    if not managed:
        _winenv("down")


@pytest.fixture
def wine(wine_env, tmp_path):
    scratch = tmp_path / "wine-output"
    scratch.mkdir()
    w = Wine(wine_env, scratch)
    yield w
    w.end_all()


def fixture_exe(name, bits=32):
    """A fixture program of the stub's tree, or with bits=64 of the win64 tree."""
    exe = (FIXTURES64 if bits == 64 else FIXTURES) / f"{name}.exe"
    if not exe.exists():
        tree = "win64" if bits == 64 else STUB_TREE
        pytest.fail(f"{exe} is missing: build the {tree} tree first (make {tree})")
    return exe


@pytest.fixture
def copy_fixture(tmp_path):
    """Copies a fixture program to a path of the test's choice (below the test's folder)."""

    def copy(name, relative, bits=32):
        target = tmp_path / relative
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(fixture_exe(name, bits), target)
        return target

    return copy


@pytest.fixture
def systool(wine):
    exe = fixture_exe("systool")

    def run(*args, timeout=30):
        result = wine.run(exe, *args, timeout=timeout)
        assert result.returncode == 0, (args, result.stdout, result.stderr)
        return result.lines

    return run


def wait_for(condition, timeout, what):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        value = condition()
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError(f"timed out after {timeout} s waiting for {what}")


def read_info(path, timeout=15):
    """The key=value lines a helper program wrote, once it has written "ready"."""
    def ready():
        return path.exists() and "ready\n" in path.read_text()

    wait_for(ready, timeout, f"{path} to say ready")
    info = {}
    for line in path.read_text().splitlines():
        name, sep, value = line.partition("=")
        if sep:
            info[name] = value
    return info


class Probe:
    """The GUI probe: windows as dicts (see testing/README.md)."""

    def __init__(self, wine):
        self.wine = wine
        self.exe = fixture_exe("guiprobe")

    @staticmethod
    def _selector(cls=None, title=None, title_has=None, pid=None, hwnd=None, visible=False):
        args = []
        for flag, value in (("--class", cls), ("--title", title), ("--title-has", title_has), ("--pid", pid),
                            ("--hwnd", hwnd)):
            if value is not None:
                args += [flag, str(value)]
        return args + (["--visible"] if visible else [])

    def _run(self, command, *args, timeout=30):
        result = self.wine.run(self.exe, command, *args, timeout=timeout)
        assert result.returncode in (0, 1), (command, args, result.stderr)
        return result.returncode == 0, [json.loads(line) for line in result.lines]

    def list(self, **selector):
        return self._run("list", *self._selector(**selector))[1]

    def show(self, **selector):
        found, windows = self._run("show", *self._selector(**selector))
        return windows[0] if found else None

    def wait(self, timeout_ms=10000, **selector):
        found, windows = self._run("wait", *self._selector(**selector), "--timeout", timeout_ms,
                                   timeout=timeout_ms / 1000 + 30)
        return windows[0] if found else None

    def wait_gone(self, timeout_ms=10000, **selector):
        return self._run("wait", *self._selector(**selector), "--gone", "--timeout", timeout_ms,
                         timeout=timeout_ms / 1000 + 30)[0]

    def click(self, button=None, control_id=None, **selector):
        what = ["--button", button] if button is not None else ["--id", control_id]
        return self._run("click", *self._selector(**selector), *what)[0]

    def key(self, vk, **selector):
        return self._run("key", *self._selector(**selector), "--vk", vk)[0]

    def alt_char(self, char, **selector):
        return self._run("key", *self._selector(**selector), "--syschar", char)[0]

    def close(self, **selector):
        return self._run("close", *self._selector(**selector))[0]


@pytest.fixture
def probe(wine):
    return Probe(wine)


class DebugViewer:
    def __init__(self, text_path, pieces_path):
        self.text_path = text_path
        self.pieces_path = pieces_path

    def text(self):
        return self.text_path.read_bytes() if self.text_path.exists() else b""

    def pieces(self):
        if not self.pieces_path.exists():
            return []
        return [int(n) for n in self.pieces_path.read_text().split()]


@pytest.fixture
def debug_viewer(wine, probe, tmp_path):
    """A running debug viewer; what it receives is in .text(), the piece lengths in .pieces()."""
    viewer = DebugViewer(tmp_path / "debug.txt", tmp_path / "debug.pieces")
    assert probe.show(cls=".KDebug.") is None, "another debug viewer is running"
    started = wine.start(fixture_exe("debugviewer"), wine.winpath(viewer.text_path), wine.winpath(viewer.pieces_path))
    assert probe.wait(cls=".KDebug."), "the debug viewer did not open its window"
    yield viewer
    probe.close(cls=".KDebug.")
    try:
        started.wait(timeout=10)
    finally:
        started.kill()


@pytest.fixture
def build_setup(tmp_path):
    """Appends a package to a copy of a stub image with the setup builder (native tree) and returns
    the setup file's path. sections maps a section name ("setup", "agent", "language English", ...)
    to its keys; stub and output are filled in."""
    count = [0]

    def build(stub, output, sections=None):
        if not PACKBUILD.exists():
            pytest.fail(f"{PACKBUILD} is missing: build the native tree first (make native)")
        count[0] += 1
        output = tmp_path / output
        output.parent.mkdir(parents=True, exist_ok=True)
        lines = ["[setup]", f"stub = {stub}", f"output = {output}"]
        sections = dict(sections or {})
        lines += [f"{key} = {value}" for key, value in sections.pop("setup", {}).items()]
        for name, keys in sections.items():
            lines.append(f"[{name}]")
            lines += [f"{key} = {value}" for key, value in keys.items()]
        description = tmp_path / f"setup{count[0]}.desc"
        description.write_text("\n".join(lines) + "\n", encoding="latin-1")
        built = subprocess.run([str(PACKBUILD), "build", str(description)], stdin=subprocess.DEVNULL,
                               capture_output=True, text=True, timeout=60)
        assert built.returncode == 0, built.stderr
        return output

    return build


# The files of the sample setups: text, incompressible bytes and an empty file, all dated
# 5 March 2013 14:05:08 (DOS date-time 1113944228 with TZ=UTC).
SAMPLE_DATE = calendar.timegm((2013, 3, 5, 14, 5, 8))
SAMPLE_DOS_DATE = 1113944228
SAMPLE_FILES = {
    "readme.txt": b"Read me first.\r\n" * 300,
    "data.bin": bytes((i * 7919 + i // 13) & 0xFF for i in range(70000)),
    "empty.dat": b"",
}


class EngineSetup:
    """A setup of packstub.exe that runs the setup engine stand-in: the setup file, and what the
    engine reported and copied out of the extraction folder before it went."""

    def __init__(self, path, report, copies, payload):
        self.path = path
        self.report = report
        self.copies = copies
        self.payload = payload

    def records(self):
        if not self.report.exists():
            return []
        return [json.loads(line) for line in self.report.read_text(encoding="latin-1").splitlines()]

    def engine(self):
        """The engine's report, None when it did not run."""
        return next((r for r in self.records() if "commandLine" in r), None)

    def copied(self):
        return {p.name: p.read_bytes() for p in self.copies.iterdir()}

    def payload_files(self):
        return {p.name: p.read_bytes() for p in self.payload.iterdir()}


@pytest.fixture
def engine_setup(build_setup, tmp_path, wine):
    """engine_setup(output, files=SAMPLE_FILES, sections={...}, engine_args="", form="compress"):
    a setup made by the builder from the sample files (or the files given, name to bytes) and
    the engine stand-in, whose run name carries engine_args and the engine's report and copy
    folder. sections as for build_setup; their [files] keys are added to."""
    count = [0]

    def make(output="out/Setup.exe", files=None, sections=None, engine_args="", form="compress"):
        if not PACKSTUB.exists():
            pytest.fail(f"{PACKSTUB} is missing: build the {STUB_TREE} tree first (make {STUB_TREE})")
        count[0] += 1
        payload = tmp_path / f"payload{count[0]}"
        payload.mkdir()
        shutil.copyfile(fixture_exe("Engine"), payload / "Engine.exe")
        for name, data in (SAMPLE_FILES if files is None else files).items():
            (payload / name).write_bytes(data)
        for item in payload.iterdir():
            os.utime(item, (SAMPLE_DATE, SAMPLE_DATE))
        report = tmp_path / f"engine{count[0]}.jsonl"
        copies = tmp_path / f"engine{count[0]}-files"
        copies.mkdir()
        args = f'{engine_args} /ENGINE_REPORT="{Wine.winpath(report)}" /ENGINE_COPY_TO="{Wine.winpath(copies)}"'
        sections = {name: dict(keys) for name, keys in (sections or {}).items()}
        sections.setdefault("files", {}).update(
            {f"{form}-folder": payload, "run": "Engine.exe", "run-arguments": args.strip()})
        return EngineSetup(build_setup(PACKSTUB, output, sections), report, copies, payload)

    return make


def dos_date_time(path):
    """A file's last-write time as an MS-DOS date-time (date in the high half), local time."""
    t = time.localtime(int(os.stat(path).st_mtime))
    date = (t.tm_year - 1980) << 9 | t.tm_mon << 5 | t.tm_mday
    return date << 16 | t.tm_hour << 11 | t.tm_min << 5 | t.tm_sec // 2


def extraction_folder(wine, setup_path):
    """Where a setup file extracts: the temporary folder's SETUP_ + the time of day of the file's
    last-write time in DOS form, as a Linux path."""
    temp = wine.run(fixture_exe("systool"), "tempfolder").stdout.strip()
    return wine.unixpath(temp.rstrip("\\") + "\\SETUP_" + str(dos_date_time(setup_path) & 0xFFFF))
