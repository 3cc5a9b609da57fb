"""The GUI probe itself: what later tests rely on when they watch and answer windows."""

from conftest import fixture_exe, read_info

VK_RETURN = 13


def test_probe_reports_and_drives_controls(wine, probe, tmp_path):
    info_path = tmp_path / "controls.info"
    app = wine.start(fixture_exe("procapp"), "controls", wine.winpath(info_path), 60000)
    info = read_info(info_path)
    assert probe.wait(title="ProcApp controls")
    window = probe.show(title_has="procapp CONTROLS", visible=True)
    assert window["class"] == "ProcAppControls" and window["pid"] == int(info["pid"])
    assert window["hwnd"] == int(info["window"])
    by_id = {child["id"]: child for child in window["children"]}
    bar, button, edit = by_id[100], by_id[101], by_id[102]
    assert bar["class"].lower() == "msctls_progress32" and bar["range"] == [10, 250] and bar["pos"] == 40
    assert button["class"] == "Button" and button["text"] == "&Press"
    left, top, right, bottom = button["rect"]
    assert (right - left, bottom - top) == (80, 24)
    assert edit["class"] == "Edit" and "range" not in edit

    assert probe.click(button="press", cls="ProcAppControls")
    assert probe.key(VK_RETURN, cls="ProcAppControls")
    assert probe.close(cls="ProcAppControls")
    assert app.wait(timeout=15) == 3
    assert probe.wait_gone(cls="ProcAppControls", timeout_ms=5000)
    notes = info_path.read_text().splitlines()
    assert "clicked 101" in notes and f"key {VK_RETURN}" in notes


def test_probe_answers_one_for_what_is_not_there(probe):
    assert probe.show(cls="NoSuchWindowClass") is None
    assert probe.list(title="No such window title") == []
    assert not probe.click(button="OK", cls="NoSuchWindowClass")
    assert probe.wait(cls="NoSuchWindowClass", timeout_ms=300) is None
    assert probe.wait_gone(cls="NoSuchWindowClass", timeout_ms=300)
