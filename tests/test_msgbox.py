"""The marked-up message box, shown by the boxtool fixture and driven through the GUI probe: its
text and bold runs, heading modes, sizes, buttons, keys, time-out, right-to-left text and the
greyed Close command."""

import json

import pytest

from conftest import fixture_exe, wait_for

ES_RIGHT = 0x2
WS_EX_RTLREADING = 0x2000
BS_DEFPUSHBUTTON = 0x1
VK_RETURN, VK_ESCAPE, VK_TAB = 0x0D, 0x1B, 0x09
BUILT_IN_BUTTONS = "|&OK|&Cancel|&Yes|&No|&Abort|&Retry|&Ignore|"


class Box:
    """One box of the boxtool fixture: its layout report once it is up, then its result."""

    def __init__(self, wine, probe, *args):
        self.probe = probe
        self.started = wine.start(fixture_exe("boxtool"), *args)
        self.window = probe.wait(cls="KMsgBox", timeout_ms=15000)
        assert self.window, "the message box did not appear"
        self.layout = wait_for(lambda: self._line("layout"), 15, "the box's layout report")

    def _line(self, key):
        for line in self.started.out_path.read_text(encoding="latin-1").splitlines():
            record = json.loads(line)
            if key in record:
                return record[key] if key == "layout" else record
        return None

    def text_control(self):
        return next(c for c in self.layout["children"] if c["class"].upper() == "RICHEDIT")

    def buttons(self):
        return [c for c in self.layout["children"] if c["class"] == "Button"]

    def result(self, timeout=15):
        self.started.wait(timeout)
        return self._line("result")

    def close(self):
        self.probe.close(cls="KMsgBox")
        return self.result()


@pytest.fixture
def show_box(wine, probe):
    boxes = []

    def show(text, caption="Caption", heading=1, flags=0, charset=0, timeout=0, buttons=BUILT_IN_BUTTONS):
        box = Box(wine, probe, "show", heading, timeout, flags, charset, caption, text, buttons)
        boxes.append(box)
        return box

    yield show
    for box in boxes:
        if box.started.running():
            probe.close(cls="KMsgBox")
            box.started.wait(10)


def width(rect):
    return rect[2] - rect[0]


def height(rect):
    return rect[3] - rect[1]


@pytest.mark.parametrize("markup, text, bold", [
    ("<b>Error</b>", "Error", [[0, 5]]),
    ("a</B>b<B>c</B>", "abc", []),
    ("one<P>two <B>bold</B><T>end", "one\r\ntwo bold\tend", [[9, 13]]),
])
def test_markup_shows_as_plain_text_with_bold_runs(show_box, markup, text, bold):
    box = show_box(markup)
    control = box.text_control()
    assert control["text"] == text
    assert control["bold"] == bold
    assert box.close()["result"] == 0


@pytest.mark.parametrize("heading, caption, text, bold, greyed", [
    (0, "Error", "ERROR\r\n\r\nDisk full\r\n", [[0, 5]], False),
    (0, "Update", "Update\r\n\r\nDisk full\r\n", [[0, 6]], False),
    (1, "Error", "Disk full", [], False),
    (2, "Error", "Disk full", [], True),
])
def test_heading_modes(show_box, heading, caption, text, bold, greyed):
    box = show_box("Disk full", caption=caption, heading=heading)
    assert box.layout["title"] == caption
    assert box.text_control()["text"] == text
    assert box.text_control()["bold"] == bold
    assert box.layout["closegreyed"] is greyed
    box.close()


def test_the_no_close_bit_greys_the_close_command(show_box):
    box = show_box("x", flags=0x10000000)
    assert box.layout["closegreyed"] is True
    box.close()


def extent(wine, text):
    result = wine.run(fixture_exe("boxtool"), "extent", text)
    assert result.returncode == 0, result.stderr
    return json.loads(result.lines[0])


def text_of_width(wine, low, high):
    """A run of one letter whose width in the box font lies in [low, high)."""
    one = extent(wine, "x" * 100)["extent"] / 100
    n = int((low + high) / 2 / one)
    measured = extent(wine, "x" * n)
    assert low <= measured["extent"] < high, measured
    return "x" * n, measured


def test_a_2000_pixel_line_gives_a_610_pixel_control_four_lines_tall(show_box, wine):
    text, measured = text_of_width(wine, 1850, 2150)
    box = show_box(text)
    control = box.text_control()
    cx, cy, caption = box.layout["frame"]
    assert width(control["rect"]) == 610
    assert box.layout["width"] == 610 + 54 + 2 * 32 + 2 * cx
    # The window is laid out for a control of four lines (at least 39 pixels: 32-pixel margins).
    assert box.layout["height"] == 4 * measured["line"] + 36 + 2 * 32 + 2 * cy + caption
    box.close()


def test_narrow_text_gets_64_pixel_margins_and_the_window_360_pixels(show_box, wine):
    box = show_box("Hi")
    assert width(box.text_control()["rect"]) < 200
    assert box.layout["width"] == 360
    box.close()
    # A control of 185 to 199 pixels: the 64-pixel margins make the window wider than 360.
    text, measured = text_of_width(wine, 165, 180)
    box = show_box(text)
    rw = width(box.text_control()["rect"])
    assert rw == measured["extent"] + 20
    cx = box.layout["frame"][0]
    assert box.layout["width"] == rw + 54 + 2 * 64 + 2 * cx > 360
    box.close()


@pytest.mark.parametrize("flags, texts, default", [
    (0x0, ["&OK"], 0),
    (0x1, ["&OK", "&Cancel"], 0),
    (0x102, ["&Abort", "&Retry", "&Ignore"], 1),
    (0x503, ["&Yes", "&No", "&Cancel"], 2),       # default index 5 of 3 buttons is the third
    (0x104, ["&Yes", "&No"], 1),
    (0x205, ["&Retry", "&Cancel"], 0),
    (0x6, [], None),
])
def test_button_sets_and_default_button(show_box, flags, texts, default):
    box = show_box("Choose", flags=flags)
    buttons = box.buttons()
    assert [b["text"] for b in buttons] == texts
    assert [b["focused"] for b in buttons] == [i == default for i in range(len(texts))]
    assert [bool(b["style"] & BS_DEFPUSHBUTTON) for b in buttons] == [i == default for i in range(len(texts))]
    client_width, client_height = box.layout["client"]
    for slot, button in enumerate(buttons):
        assert button["rect"] == [client_width - 80 - 70 * (len(buttons) - 1 - slot), client_height - 29,
                                  client_width - 10 - 70 * (len(buttons) - 1 - slot), client_height - 6]
    box.close()


@pytest.mark.parametrize("flags, drive, expected", [
    (0x1, ("key", ord("C")), 2),          # "c" without Alt: Cancel
    (0x1, ("alt", "o"), 1),               # Alt+O: OK
    (0x1, ("key", VK_RETURN), 1),         # Enter: the focused (default) button
    (0x101, ("key", VK_RETURN), 2),
    (0x1, ("key", VK_TAB), None),         # Tab moves the focus on; Enter then takes Cancel
    (0x3, ("click", "&No"), 7),
])
def test_keys_and_clicks_select_buttons(show_box, probe, flags, drive, expected):
    box = show_box("Go on?", flags=flags)
    kind, value = drive
    if kind == "key":
        assert probe.key(value, cls="KMsgBox")
    elif kind == "alt":
        assert probe.alt_char(value, cls="KMsgBox")
    else:
        assert probe.click(button=value, cls="KMsgBox")
    if expected is None:
        assert probe.key(VK_RETURN, cls="KMsgBox")
        expected = 2
    assert box.result()["result"] == expected


def test_escape_does_nothing(show_box, probe):
    box = show_box("Go on?", flags=0x1)
    assert probe.key(VK_ESCAPE, cls="KMsgBox")
    assert not probe.wait_gone(cls="KMsgBox", timeout_ms=1000)
    assert box.close()["result"] == 0


def test_confirm_times_out_with_yes(wine, probe):
    box = Box(wine, probe, "confirm", 5000, "Install now?")
    assert box.window["title"] == "Confirm"
    result = box.result(timeout=30)
    assert result["result"] == 1
    assert 4800 <= result["ms"] < 10000


def test_hebrew_charset_gives_right_aligned_right_to_left_text(show_box):
    box = show_box("shalom", charset=177)
    control = box.text_control()
    assert control["style"] & ES_RIGHT
    assert control["exstyle"] & WS_EX_RTLREADING
    box.close()
    box = show_box("plain", charset=0)
    assert not box.text_control()["style"] & ES_RIGHT
    assert not box.text_control()["exstyle"] & WS_EX_RTLREADING
    box.close()


def test_a_quit_request_closes_the_box_and_is_kept_for_the_program(wine, probe):
    box = Box(wine, probe, "--quit-after", 1500, "show", 1, 0, 1, 0, "Caption", "Wait", BUILT_IN_BUTTONS)
    result = box.result()
    assert result["result"] == 0
    assert result["quit"] == 5
