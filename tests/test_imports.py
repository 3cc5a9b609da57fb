"""What the shipped programs load when they start: only libraries that every Windows system has
and always takes from its system folder, so nothing is missing on a user's machine and nothing
of the same name beside a downloaded file is taken. The bridge also links against the kernel's
maplec.dll, which the host installation provides."""
import subprocess

import pytest

from conftest import ROOT

# Libraries the system loads from its own folder whatever the search order (its known DLLs).
KNOWN_SYSTEM_LIBRARIES = {"advapi32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll",
                          "ole32.dll", "oleaut32.dll", "shell32.dll", "shlwapi.dll", "user32.dll"}
OBJDUMP = {"win32": "i686-w64-mingw32-objdump", "win64": "x86_64-w64-mingw32-objdump"}
PROGRAMS = [
    ("win32", "stub/packstub.exe", set()),
    ("win64", "stub/packstub.exe", set()),
    ("win32", "tools/packbuild.exe", set()),
    ("win64", "bin/maplelink64.dll", {"maplec.dll"}),
]


def imports(tree, path):
    listing = subprocess.run([OBJDUMP[tree], "-p", str(path)], capture_output=True, text=True, check=True,
                             timeout=30).stdout
    return {line.split("DLL Name:")[1].strip().lower() for line in listing.splitlines() if "DLL Name:" in line}


@pytest.mark.parametrize("tree, program, own", PROGRAMS, ids=[f"{t}/{p}" for t, p, _ in PROGRAMS])
def test_a_shipped_program_imports_only_known_system_libraries(tree, program, own):
    path = ROOT / "build" / tree / program
    if not path.exists():
        pytest.fail(f"{path} is missing: build the {tree} tree first (make {tree})")
    found = imports(tree, path)
    assert "kernel32.dll" in found
    assert found - KNOWN_SYSTEM_LIBRARIES - own == set()
