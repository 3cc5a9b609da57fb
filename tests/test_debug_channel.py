"""The debug output reaches a running viewer in pieces of at most 128 bytes; without a viewer it
goes nowhere and costs nothing."""

import time


def test_long_line_arrives_as_128_128_and_the_rest_with_cr_lf(systool, debug_viewer):
    line = "".join(chr(ord("a") + i % 26) for i in range(300))
    systool("debug", line)
    assert debug_viewer.pieces() == [128, 128, 46]
    assert debug_viewer.text() == line.encode() + b"\r\n"


def test_lines_of_several_runs_arrive_in_order(systool, debug_viewer):
    for text in ("4711 Start", "", "x" * 127):
        systool("debug", text)
    assert debug_viewer.text() == b"4711 Start\r\n\r\n" + b"x" * 127 + b"\r\n"
    # 127 characters and CR fill the buffer; the LF follows as a piece of its own.
    assert debug_viewer.pieces() == [12, 2, 128, 1]


def test_without_viewer_the_text_is_dropped_quickly(systool, probe):
    assert probe.show(cls=".KDebug.") is None
    start = time.monotonic()
    systool("debug", "nobody listens " * 40)
    assert time.monotonic() - start < 10
