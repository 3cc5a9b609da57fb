"""The status window of packstub, run by the stubharness fixture (the program with the timer's
work replaced by a script) and looked at and closed through the GUI probe."""

import json

import pytest

from conftest import fixture_exe, wait_for

SS_RIGHT = 0x2
WS_EX_RTLREADING = 0x2000
WS_CAPTION, WS_SYSMENU, WS_CLIPCHILDREN = 0xC00000, 0x80000, 0x2000000


class Harness:
    def __init__(self, wine, probe, setup, *params):
        self.probe = probe
        self.setup = setup
        self.report_path = setup.parent / "report.txt"
        self.started = wine.start(setup, f'/REPORT={wine.winpath(self.report_path)}', *params)
        self.cls = wine.winpath(setup)
        assert probe.wait(cls=self.cls), "the status window did not appear"
        wait_for(lambda: "ready" in self.lines(), 30, "the harness to run its script")

    def lines(self):
        if not self.report_path.exists():
            return []
        return self.report_path.read_text().splitlines()

    def records(self):
        return [json.loads(line) for line in self.lines() if line.startswith("{")]

    def window(self):
        return self.probe.show(cls=self.cls)

    def close(self):
        return self.probe.close(cls=self.cls)


@pytest.fixture
def harness_setup(build_setup):
    def make(charset=0, name="Setup.exe"):
        return build_setup(fixture_exe("stubharness"), name, {
            "language Hebrew" if charset == 177 else "language English": {
                "s0": "Acme Product Setup", "Charset": charset, "FontName": "Tahoma", "FontSize": 8},
        })
    return make


@pytest.fixture
def run_harness(wine, probe):
    running = []

    def run(setup, *params):
        harness = Harness(wine, probe, setup, *params)
        running.append(harness)
        return harness

    yield run
    for harness in running:
        if harness.started.running():
            harness.close()
            harness.close()
            harness.started.wait(10)


def relative(rect, origin):
    return [rect[0] - origin[0], rect[1] - origin[1], rect[2] - rect[0], rect[3] - rect[1]]


@pytest.mark.parametrize("charset, status, main_bar, activity", [
    (0, [70, 20, 340, 18], [70, 38, 392, 13], [416, 20, 46, 13]),
    (177, [122, 20, 340, 18], [70, 38, 392, 13], [70, 20, 46, 13]),
])
def test_hidden_centred_window_with_its_controls(harness_setup, run_harness, charset, status, main_bar, activity):
    harness = run_harness(harness_setup(charset), '/STATUS=Unpacking')
    window = harness.window()
    first = harness.records()[0]
    assert window["title"] == "Acme Product Setup"
    assert window["visible"] is False
    assert window["style"] & (WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN) == WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN
    left, top, right, bottom = window["rect"]
    assert (right - left, bottom - top) == (492, 110)
    area_left, area_top, area_right, area_bottom = first["workarea"]
    assert left == area_left + (area_right - area_left - 492) // 2
    assert top == area_top + (area_bottom - area_top - 110) // 2
    children = window["children"]
    assert [c["class"].lower() for c in children] == ["static", "msctls_progress32", "msctls_progress32"]
    origin = first["client"]
    assert [relative(c["rect"], origin) for c in children] == [status, main_bar, activity]
    assert [c["visible"] for c in children] == [False, False, False]   # the window itself is hidden
    assert [bool(c["style"] & 0x10000000) for c in children] == [True, True, False]   # WS_VISIBLE
    line = children[0]
    assert line["text"] == "Unpacking"
    assert bool(line["style"] & SS_RIGHT) == (charset == 177)
    assert bool(line["exstyle"] & WS_EX_RTLREADING) == (charset == 177)


def test_progress_after_start_1_6_and_each_step(harness_setup, run_harness):
    harness = run_harness(harness_setup(), "/PROGRESS=1:6")
    start, *steps = [r for r in harness.records() if r.get("event") in ("start", "step")]
    assert (start["main"], start["pos"], start["activity"], start["apos"]) == ([0, 6], 1, [0, 5], 0)
    assert [s["apos"] for s in steps] == [1, 2, 3, 4, 5, 0]
    assert [s["pos"] for s in steps[:5]] == [2, 3, 4, 5, 6]


def test_progress_with_total_249_ends_full(harness_setup, run_harness, probe):
    harness = run_harness(harness_setup(), "/PROGRESS=0:249")
    steps = [r for r in harness.records() if r.get("event") == "step"]
    assert len(steps) == 249
    assert [s["pos"] for s in steps] == list(range(1, 250))
    assert [s["apos"] for s in steps[:12]] == [1, 2, 3, 4, 5, 0, 1, 2, 3, 4, 5, 0]
    bars = [c for c in harness.window()["children"] if c["class"].lower() == "msctls_progress32"]
    assert (bars[0]["range"], bars[0]["pos"]) == ([0, 249], 249)


def test_first_close_sets_the_abort_flag_and_the_second_destroys(harness_setup, run_harness, probe):
    harness = run_harness(harness_setup())
    assert "abort" not in harness.lines()
    harness.close()
    wait_for(lambda: "abort" in harness.lines(), 10, "the abort flag")
    assert not probe.wait_gone(cls=harness.cls, timeout_ms=1000)
    assert "removed" not in harness.lines()
    harness.close()
    assert probe.wait_gone(cls=harness.cls)
    assert harness.started.wait(15) == 0
    assert "removed" in harness.lines()


def test_autoplay_is_cancelled_once_the_answer_is_on(harness_setup, run_harness):
    harness = run_harness(harness_setup(), "/AUTOPLAY")
    [answers] = [r["autoplay"] for r in harness.records() if "autoplay" in r]
    assert answers == [0, 1]


def test_sleepx_sets_the_agent_tick_count(harness_setup, run_harness):
    harness = run_harness(harness_setup(), "/SleepX=7")
    assert harness.records()[0]["ticks"] == -7


def test_a_second_start_of_the_same_setup_ends_at_once(harness_setup, run_harness, wine, probe, debug_viewer):
    setup = harness_setup()
    first = run_harness(setup)
    second = wine.run(setup, "/second", timeout=30)
    assert second.returncode == 0
    assert len(probe.list(cls=first.cls)) == 1
    text = debug_viewer.text().decode("latin-1")
    starts = [line for line in text.splitlines() if "==== STUB START ====>" in line and "/second" in line]
    ends = [line for line in text.splitlines() if "==== STUB END ====>" in line and "/second" in line]
    assert len(starts) == 1 and len(ends) == 1
    assert starts[0].split()[0] == ends[0].split()[0]        # one process, its id first
