"""A finished program's file (and, when asked, its folder) is removed by the "_DEL_ME_.BAT"
script it leaves behind."""

import pytest

from conftest import wait_for


@pytest.fixture
def temp_folder(systool, wine):
    return wine.unixpath(systool("tempfolder")[0])


@pytest.mark.parametrize("remove_folder", [True, False])
@pytest.mark.parametrize("short_names", [True, False])
def test_batch_removes_the_program_after_it_ended(wine, copy_fixture, temp_folder, remove_folder, short_names):
    exe = copy_fixture("systool", "Program Files/My App/X_agent.exe")
    batch = temp_folder / "_DEL_ME_.BAT"
    result = wine.run(exe, "selfremove", int(remove_folder), int(short_names))
    assert result.returncode == 0, result.stderr
    wait_for(lambda: not exe.exists(), 20, "the program file to go")
    wait_for(lambda: not batch.exists(), 20, "the batch file to delete itself")
    assert exe.parent.exists() != remove_folder


@pytest.mark.parametrize("short_names", [True, False])
def test_percent_signs_in_the_path_are_not_expanded(wine, copy_fixture, temp_folder, short_names):
    exe = copy_fixture("systool", "tools/%OS%/X_agent.exe")
    # What the path would name if the batch file expanded "%OS%": another program's file.
    other = copy_fixture("systool", "tools/Windows_NT/X_agent.exe")
    assert wine.run(exe, "selfremove", 1, int(short_names)).returncode == 0
    wait_for(lambda: not (temp_folder / "_DEL_ME_.BAT").exists(), 20, "the batch file to delete itself")
    assert not exe.parent.exists()
    assert other.exists()


def test_read_only_program_file_is_removed(wine, copy_fixture, temp_folder):
    exe = copy_fixture("systool", "read only/X_agent.exe")
    exe.chmod(0o555)  # Wine shows a file without write permission as read-only
    try:
        assert wine.run(exe, "selfremove", 0, 0).returncode == 0
        wait_for(lambda: not exe.exists(), 20, "the program file to go")
        wait_for(lambda: not (temp_folder / "_DEL_ME_.BAT").exists(), 20, "the batch file to delete itself")
    finally:
        if exe.exists():
            exe.chmod(0o755)  # lets a script that retries the deletion end


def test_folder_that_is_not_empty_stays(wine, copy_fixture, temp_folder):
    exe = copy_fixture("systool", "App/X_agent.exe")
    (exe.parent / "settings.ini").write_text("[Agent]\n")
    assert wine.run(exe, "selfremove", 1, 0).returncode == 0
    wait_for(lambda: not (temp_folder / "_DEL_ME_.BAT").exists(), 20, "the batch file to delete itself")
    assert not exe.exists()
    assert (exe.parent / "settings.ini").exists()
