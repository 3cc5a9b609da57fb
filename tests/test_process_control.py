"""Finding, steering and stopping other programs: processes matched by path, bare name and short
path, the main window picked by score, close, quit and terminate requests, and the waits."""

import pytest

from conftest import fixture_exe, read_info, wait_for


class App:
    def __init__(self, wine, exe, mode, lifetime_ms):
        self.exe = exe
        self.info_path = exe.parent / f"{exe.stem}-{id(self)}.info"
        self.started = wine.start(exe, mode, wine.winpath(self.info_path), lifetime_ms)
        self.info = read_info(self.info_path)
        self.pid = int(self.info["pid"])
        self.path = wine.winpath(exe)

    def notes(self):
        return self.info_path.read_text().splitlines()


@pytest.fixture
def start_app(wine, copy_fixture):
    """Starts the helper program as the file `relative` (below the test's folder)."""

    def start(relative, mode="windowless", lifetime_ms=60000, copy=True, bits=32):
        exe = copy_fixture("procapp", relative, bits) if copy else fixture_exe("procapp", bits)
        return App(wine, exe, mode, lifetime_ms)

    return start


def test_find_process_by_path_and_by_bare_name(systool, start_app):
    app = start_app("C X/app.exe")
    assert systool("findprocess", app.path) == [str(app.pid)]
    assert systool("findprocess", f"  {app.path.upper()} ", "pathonly") == [str(app.pid)]
    assert systool("findprocess", "app.exe") == [str(app.pid)]
    assert systool("findprocess", "app.exe", "pathonly") == ["0"]
    assert systool("findprocess", app.path.replace("C X", "D X")) == ["0"]
    assert systool("--toolhelp", "findprocess", "app.exe") == [str(app.pid)]
    assert systool("running", f'"{app.path}"') == ["TRUE"]


def test_two_instances_give_the_one_listed_last(systool, copy_fixture, wine):
    exe = copy_fixture("procapp", "twice/app2.exe")
    apps = [App(wine, exe, "windowless", 60000) for _ in range(2)]
    listed = [int(pid) for pid in systool("pids")]
    first, last = sorted(apps, key=lambda app: listed.index(app.pid))
    assert systool("findprocess", last.path) == [str(last.pid)]
    assert systool("terminate", last.path) == ["TRUE"]
    assert last.started.wait(timeout=15) == 0
    wait_for(lambda: systool("findprocess", first.path) == [str(first.pid)], 10, "the other instance")


def test_deleted_program_file_matches_by_full_path_only(systool, start_app):
    app = start_app("a rather long folder name/long program name.exe")
    short = systool("shortpath", app.path)[0]
    assert short and short != app.path
    assert systool("findprocess", short, "pathonly") == [str(app.pid)]
    app.exe.unlink()
    assert systool("findprocess", app.path, "pathonly") == [str(app.pid)]
    assert systool("findprocess", short, "pathonly") == ["0"]


def test_program_with_a_path_longer_than_256_characters_is_found(systool, start_app):
    folders = "/".join(f"folder with a rather long name {i:02}" for i in range(8))
    app = start_app(f"{folders}/app.exe")
    assert len(app.path) > 256
    assert systool("findprocess", app.path, "pathonly") == [str(app.pid)]


def test_64_bit_program_is_found_and_closed(systool, start_app):
    app = start_app("x64/app64.exe", mode="owner", bits=64)
    assert systool("findprocess", app.path, "pathonly") == [str(app.pid)]
    assert systool("findprocess", "app64.exe") == [str(app.pid)]
    assert systool("running", app.path) == ["TRUE"]
    assert systool("findmain", app.path, "pathonly") == [app.info["owner"]]
    assert systool("close", app.path, "pathonly") == ["TRUE"]
    assert app.started.wait(timeout=15) == 3
    assert "close 15 255" in app.notes()


def test_hidden_owner_window_is_the_main_window(systool, start_app, probe):
    app = start_app("owner/ownerapp.exe", mode="owner")
    dialog = probe.show(hwnd=app.info["dialog"])
    owner = probe.show(hwnd=app.info["owner"])
    assert dialog["visible"] and dialog["title"] == "ProcApp dialog" and dialog["owner"] == int(app.info["owner"])
    assert not owner["visible"] and owner["title"] == ""
    assert systool("findmain", app.path, "pathonly") == [app.info["owner"]]


def test_close_request_goes_to_the_main_window(systool, start_app):
    app = start_app("owner/ownerapp.exe", mode="owner")
    assert systool("close", app.path, "pathonly") == ["TRUE"]
    assert app.started.wait(timeout=15) == 3
    assert "close 15 255" in app.notes()


def test_quit_request_ends_the_message_loop(systool, start_app):
    app = start_app("owner/ownerapp.exe", mode="owner")
    assert systool("quit", "ownerapp.exe") == ["TRUE"]
    assert app.started.wait(timeout=15) == 15
    assert "quit 15" in app.notes()


def test_program_without_windows_gets_no_close_request_but_can_be_terminated(systool, start_app):
    app = start_app("plain/plain.exe")
    assert systool("findmain", app.path) == ["0"]
    assert systool("close", app.path, "pathonly") == ["FALSE"]
    assert app.started.running()
    assert systool("terminate", app.path, "pathonly") == ["TRUE"]
    assert app.started.wait(timeout=15) == 0
    wait_for(lambda: systool("running", app.path) == ["FALSE"], 10, "the process to leave the list")
    assert systool("terminate", app.path, "pathonly") == ["FALSE"]


@pytest.mark.parametrize("toolhelp, low, high", [(False, 1000, 1800), (True, 2000, 2900)])
def test_wait_for_a_program_that_does_not_run(systool, tmp_path, wine, toolhelp, low, high):
    args = (["--toolhelp"] if toolhelp else []) + ["waitend", wine.winpath(tmp_path / "none.exe"), 0]
    elapsed = int(systool(*args)[0])
    assert low <= elapsed < high


def test_wait_ends_with_the_program_or_the_time_limit(systool, start_app):
    short_lived = start_app("wait/short.exe", lifetime_ms=2500)
    elapsed = int(systool("waitend", short_lived.path, 0, timeout=20)[0])
    assert 2000 <= elapsed < 5000
    assert not short_lived.started.running() or short_lived.started.wait(timeout=5) == 0
    long_lived = start_app("wait/long.exe")
    elapsed = int(systool("waitend", long_lived.path, 1500, timeout=20)[0])
    assert 1900 <= elapsed < 3500
    assert long_lived.started.running()


def test_wait_while_window_exists(systool, start_app):
    app = start_app("window/engine.exe", mode="owner", lifetime_ms=1500)
    elapsed = int(systool("waitwindow", "ProcAppDialog", "ProcApp dialog", timeout=20)[0])
    assert 1000 <= elapsed < 5000
    assert app.started.wait(timeout=10) == 0
