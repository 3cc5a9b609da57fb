"""The run log "X_" + program name + ".log" next to the program: one line per event."""

import datetime
import re

import pytest

LINE = re.compile(rb"(\d\d)/(\d\d)/(\d\d) (\d\d):(\d\d):(\d\d) ( *\d+)(.*)\r\n")


@pytest.mark.parametrize("program, indent", [("setup.exe", "   "), ("X_setup.exe", " X ")])
def test_log_file_and_line_format(wine, copy_fixture, program, indent):
    exe = copy_fixture("systool", f"agent folder/{program}")
    before = datetime.datetime.now(datetime.timezone.utc).replace(microsecond=0)
    for message in ("Start", "second event"):
        result = wine.run(exe, "runlog", message, indent)
        assert result.returncode == 0, result.stderr
    path, thread = result.lines
    assert path == wine.winpath(exe.parent / "X_setup.log")
    lines = (exe.parent / "X_setup.log").read_bytes().splitlines(keepends=True)
    assert len(lines) == 2
    for line, message in zip(lines, ("Start", "second event")):
        match = LINE.fullmatch(line)
        assert match, line
        day, month, year, hour, minute, second = map(int, match.groups()[:6])
        stamp = datetime.datetime(2000 + year, month, day, hour, minute, second, tzinfo=datetime.timezone.utc)
        assert before <= stamp <= datetime.datetime.now(datetime.timezone.utc)
        assert len(match.group(7)) >= 5 and match.group(7).strip().isdigit()
        assert match.group(8) == (indent + message).encode()
    assert lines[1][17:].startswith(b" " + thread.rjust(5).encode())
