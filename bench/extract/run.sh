#!/usr/bin/env bash
# Extraction benchmark, figures side by side, each the best of BENCH_ROUNDS (default 5) rounds
# (other work on the machine only ever makes a run slower):
#  1. about 200 MiB of mixed files (a third incompressible) extracted by a packstub setup under
#     Wine (run hidden, the setup engine stand-in as its program);
#  2. the same files installed silently into a folder by an NSIS installer (zlib) under Wine;
#  3. zlib inflate and write of the same records natively: the limit (and, for the cost of the
#     platform, the same program built for win32 under Wine);
#  4. the peak memory of the packstub process while it extracts one 200 MiB file, next to that of
#     a program that does nothing under Wine.
# Needs the native and win32 trees (make native win32) and makensis. Scratch files go to
# build/bench/extract.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
[ "$("$root/scripts/winenv" stub-tree)" = win32 ] || {
  echo "bench/extract: this host runs no 32-bit code, and the NSIS installer is a 32-bit program" >&2; exit 1; }
work=$root/build/bench/extract
packbuild=$root/build/native/tools/packbuild
stub=$root/build/win32/stub/packstub.exe
engine=$root/build/win32/testing/Engine.exe
mkdir -p "$work"
cd "$work"
export TZ=UTC

ratio() { python3 -c "import sys; print(f'{float(sys.argv[1]) / float(sys.argv[2]):.2f}')" "$1" "$2"; }

# Wall time in ms of a command, its output kept in a file.
timed() {
  local out=$1; shift
  python3 - "$out" "$@" <<'PY'
import subprocess, sys, time
out, cmd = sys.argv[1], sys.argv[2:]
with open(out, "wb") as f:
    t = time.perf_counter()
    code = subprocess.run(cmd, stdin=subprocess.DEVNULL, stdout=f, stderr=subprocess.STDOUT).returncode
    t = time.perf_counter() - t
print(f"{t * 1000:.0f} {code}")
PY
}

# Runs a Windows program and samples the peak resident size (VmHWM) of its process.
peak_kib() {
  python3 - "$@" <<'PY'
import subprocess, sys, time
p = subprocess.Popen(["wine", *sys.argv[1:]], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                     stderr=subprocess.DEVNULL)
peak = 0
while p.poll() is None:
    try:
        for line in open(f"/proc/{p.pid}/status"):
            if line.startswith("VmHWM:"):
                peak = max(peak, int(line.split()[1]))
    except OSError:
        pass
    time.sleep(0.02)
print(peak, p.returncode)
PY
}

for tool in "$packbuild" "$stub" "$engine"; do
  [ -f "$tool" ] || { echo "missing $tool: run make native win32" >&2; exit 1; }
done
command -v makensis >/dev/null || { echo "makensis is missing (Debian package nsis)" >&2; exit 1; }

folder=$work/mixed
if [ ! -f "$folder.complete" ]; then
  rm -rf "$folder"
  python3 "$root/bench/mixed-data.py" "$folder" 200
  touch "$folder.complete"
fi
[ -f big.bin ] || python3 "$root/bench/mixed-data.py" --single big.bin 200
mkdir -p engine big
cp "$engine" engine/Engine.exe
ln -f big.bin big/big.bin

# A setup of a folder with the engine stand-in as its program.
describe() {
  printf '[setup]\nstub = %s\noutput = %s\n[files]\ncompress-folder = %s\nstore = engine/Engine.exe\nrun = Engine.exe\n' \
    "$stub" "$2" "$3" > "$1"
}
describe mixed.desc packstub-setup.exe mixed
describe big.desc packstub-big.exe big
cat > mixed.nsi <<NSI
OutFile "$work/nsis-setup.exe"
SetCompressor zlib
RequestExecutionLevel user
SilentInstall silent
InstallDir "C:\\nsisbench"
Section
SetOutPath \$INSTDIR
File "$folder/*"
SectionEnd
NSI
"$packbuild" build mixed.desc
"$packbuild" build big.desc
makensis -V1 mixed.nsi

size_mib=$(du -sm --apparent-size "$folder" | cut -f1)
files=$(ls "$folder" | wc -l)
"$root/scripts/winenv" up >/dev/null
trap '"$root/scripts/winenv" down >/dev/null' EXIT
eval "$("$root/scripts/winenv" env)"
drive_c=$WINEPREFIX/drive_c
cat packstub-setup.exe nsis-setup.exe > /dev/null  # warm the cache

min() { python3 -c "import sys; print(min(sys.argv[1:], key=float))" "$@"; }
probe=$root/build/win32/testing/guiprobe.exe
rounds=${BENCH_ROUNDS:-5}
stub_runs=() extract_runs=() nsis_runs=() limit_runs=() limit_wine_runs=()
for ((round = 1; round <= rounds; round++)); do
  # 1. packstub: the whole run, and the extraction alone as the stub reports it in its debug
  #    output (which goes to the debug viewer).
  rm -f debug.txt
  wine "$root/build/win32/testing/debugviewer.exe" "$(winepath -w "$work/debug.txt")" >/dev/null 2>&1 &
  viewer=$!
  wine "$probe" wait --class .KDebug. >/dev/null
  read -r stub_ms stub_code < <(timed packstub.out wine packstub-setup.exe /hide)
  wine "$probe" close --class .KDebug. >/dev/null
  wait "$viewer"
  stub_runs+=("$stub_ms")
  extract_runs+=("$(tr -d '\r' < debug.txt | sed -n 's/^UnCompressTime: \([0-9]*\) MS/\1/p' | tail -1)")

  # 2. NSIS into a folder of drive C:, removed afterwards.
  rm -rf "$drive_c/nsisbench"
  read -r nsis_ms nsis_code < <(timed nsis.out wine nsis-setup.exe /S '/D=C:\nsisbench')
  nsis_files=$(ls "$drive_c/nsisbench" | wc -l)
  rm -rf "$drive_c/nsisbench"
  nsis_runs+=("$nsis_ms")

  # 3. The limit, natively, into a fresh folder on the same file system as the Wine prefix, and
  #    the same program as a win32 program under Wine.
  rm -rf "$drive_c/limit" && mkdir -p "$drive_c/limit"
  limit_line=$("$root/build/native/bench/bench_inflate_limit" packstub-setup.exe "$drive_c/limit")
  limit_runs+=("$(sed -n 's/.* \([0-9.]*\) ms$/\1/p' <<<"$limit_line")")
  rm -rf "$drive_c/limit" && mkdir -p "$drive_c/limit"
  limit_wine_runs+=("$(wine "$root/build/win32/bench/bench_inflate_limit.exe" packstub-setup.exe 'C:\limit' |
                        tr -d '\r' | sed -n 's/.* \([0-9.]*\) ms$/\1/p')")
  rm -rf "$drive_c/limit"
done
echo "runs: packstub ${stub_runs[*]}, extraction ${extract_runs[*]}, NSIS ${nsis_runs[*]}, limit ${limit_runs[*]}, limit under Wine ${limit_wine_runs[*]}"
stub_ms=$(min "${stub_runs[@]}") extract_ms=$(min "${extract_runs[@]}") nsis_ms=$(min "${nsis_runs[@]}")
limit_ms=$(min "${limit_runs[@]}") limit_wine_ms=$(min "${limit_wine_runs[@]}")

# 4. Peak memory.
read -r big_kib big_code < <(peak_kib packstub-big.exe /hide)
read -r idle_kib _ < <(peak_kib "$root/build/win32/testing/procapp.exe" windowless 'Z:\dev\null' 2000)

echo "Extracting $size_mib MiB in $files files of mixed data under Wine (zlib), best of $rounds rounds:"
printf '  %-44s %8s ms  exit %s\n' "packstub setup /hide, whole run" "$stub_ms" "$stub_code"
printf '  %-44s %8s ms\n' "  of it the extraction (UnCompressTime)" "$extract_ms"
printf '  %-44s %8s ms  exit %s, %s files\n' "NSIS installer /S into C:\\nsisbench" "$nsis_ms" "$nsis_code" "$nsis_files"
printf '  %-44s %8s ms  %s\n' "limit: native zlib inflate + write" "$limit_ms" "${limit_line%,*}"
printf '  %-44s %8s ms\n' "  the same as a win32 program under Wine" "$limit_wine_ms"
echo "  packstub / NSIS:  whole run $(ratio "$stub_ms" "$nsis_ms"), extraction $(ratio "$extract_ms" "$nsis_ms")"
echo "  packstub / limit: whole run $(ratio "$stub_ms" "$limit_ms"), extraction $(ratio "$extract_ms" "$limit_ms")"
echo "Peak resident memory (VmHWM) under Wine:"
printf '  %-44s %8s KiB  exit %s\n' "packstub extracting one 200 MiB file" "$big_kib" "$big_code"
printf '  %-44s %8s KiB\n' "a program that does nothing" "$idle_kib"
