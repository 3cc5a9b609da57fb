"""The Windows build of the setup builder under Wine, packing a real Windows program."""
import os
import subprocess
from pathlib import Path

from conftest import BUILD, ROOT, fixture_exe

PACKBUILD = ROOT / "build/native/tools/packbuild"
PACKBUILD_EXE = BUILD / "tools/packbuild.exe"


def test_setup_built_under_wine_matches_the_native_build_and_still_runs(tmp_path, wine):
    payload = tmp_path / "payload"
    payload.mkdir()
    (payload / "readme.txt").write_text("read me\n")
    (payload / "data.bin").write_bytes(bytes(range(256)) * 40)
    description = ("[setup]\nstub = {stub}\noutput = out/{name}\n[language English]\ns0 = Wine\n"
                   "[files]\ncompress-folder = payload\nstore = {stub}\nrun = HelloStub.exe\n")
    stub = fixture_exe("HelloStub")
    (tmp_path / "stub").mkdir()
    (tmp_path / "stub/HelloStub.exe").write_bytes(stub.read_bytes())
    (tmp_path / "out").mkdir()
    (tmp_path / "wine.desc").write_text(description.format(stub="stub/HelloStub.exe", name="Setup.exe"))
    (tmp_path / "native.desc").write_text(description.format(stub="stub/HelloStub.exe", name="Native.exe"))

    built = wine.run(PACKBUILD_EXE, "build", "wine.desc", cwd=tmp_path, timeout=60)
    assert built.returncode == 0, built.stdout + built.stderr
    native = subprocess.run([str(PACKBUILD), "build", "native.desc"], cwd=tmp_path, capture_output=True,
                            text=True, env=dict(os.environ, TZ="UTC"))
    assert native.returncode == 0, native.stderr
    assert (tmp_path / "out/Setup.exe").read_bytes() == (tmp_path / "out/Native.exe").read_bytes()

    inspected = wine.run(PACKBUILD_EXE, "inspect", "out/Setup.exe", cwd=tmp_path, timeout=60)
    assert inspected.returncode == 0, inspected.stdout
    assert "run=HelloStub.exe*" in inspected.stdout

    ran = wine.run(tmp_path / "out/Setup.exe", cwd=tmp_path, timeout=60)
    assert ran.returncode == 7
    assert "stub image runs" in ran.stdout
