#!/usr/bin/env bash
# Package benchmarks, one run each, figures side by side:
#  1. PackageChecksum of a 50 MiB file natively and under Wine, next to reading the same file once
#     with cat (warm cache);
#  2. the builder packing a 200 MiB folder of mixed data, next to makensis packing the same folder
#     with zlib.
# Needs the native tree and the stub's Windows tree (make native win32; win64 on a host that runs
# no 32-bit code). Scratch files go to build/bench.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
tree=$("$root/scripts/winenv" stub-tree)
work=$root/build/bench/package
mkdir -p "$work"
cd "$work"

ratio() { python3 -c "import sys; print(f'{float(sys.argv[1]) / float(sys.argv[2]):.2f}')" "$1" "$2"; }

best_of() {  # best wall time in ms of N runs of a command
  local n=$1; shift
  python3 - "$n" "$@" <<'PY'
import subprocess, sys, time
n, cmd = int(sys.argv[1]), sys.argv[2:]
best = None
for _ in range(n):
    t = time.perf_counter(); subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL); t = time.perf_counter() - t
    best = t if best is None or t < best else best
print(f"{best * 1000:.1f}")
PY
}

# ---- 1. checksum of 50 MiB ----
[ -f checksum-50MiB.bin ] || head -c 52428800 /dev/urandom > checksum-50MiB.bin
cat checksum-50MiB.bin > /dev/null  # warm the cache
cat_ms=$(best_of 5 cat checksum-50MiB.bin)
native=$("$root/build/native/bench/bench_checksum" checksum-50MiB.bin 10)
"$root/scripts/winenv" up >/dev/null
wine_line=$("$root/scripts/winenv" exec wine "$root/build/$tree/bench/bench_checksum.exe" checksum-50MiB.bin 10 | tr -d '\r')
"$root/scripts/winenv" down >/dev/null
native_ms=$(sed -n 's/.*best \([0-9.]*\) ms.*/\1/p' <<<"$native")
wine_ms=$(sed -n 's/.*best \([0-9.]*\) ms.*/\1/p' <<<"$wine_line")
echo "PackageChecksum, 50 MiB (52,428,800 bytes), warm cache, best of runs:"
printf '  %-28s %8s ms\n' "cat file > /dev/null" "$cat_ms"
printf '  %-28s %8s ms   (%s x cat)   %s\n' "native" "$native_ms" "$(ratio "$native_ms" "$cat_ms")" "$native"
printf '  %-28s %8s ms   (%s x cat)   %s\n' "Wine ($tree build)" "$wine_ms" "$(ratio "$wine_ms" "$cat_ms")" "$wine_line"

# ---- 2. packing 200 MiB ----
folder=$work/mixed
if [ ! -f "$folder.complete" ]; then
  rm -rf "$folder"; mkdir -p "$folder"
  python3 "$root/bench/mixed-data.py" "$folder" 200
  touch "$folder.complete"
fi
python3 -c "import struct,sys; b=bytearray(4096); b[0:2]=b'MZ'; b[60:64]=struct.pack('<I',256); b[256:260]=b'PE\0\0'; open(sys.argv[1],'wb').write(b)" stub.exe
cat > mixed.desc <<DESC
[setup]
stub = stub.exe
output = packbuild-setup.exe
[files]
compress-folder = mixed
DESC
cat > mixed.nsi <<NSI
OutFile "$work/makensis-setup.exe"
SetCompressor zlib
RequestExecutionLevel user
Section
SetOutPath \$INSTDIR
File "$folder/*"
SectionEnd
NSI
size_mib=$(du -sm --apparent-size "$folder" | cut -f1)
files=$(ls "$folder" | wc -l)
cat "$folder"/* > /dev/null
pb_ms=$(best_of 1 "$root/build/native/tools/packbuild" build mixed.desc)
nsis_ms=$(best_of 1 makensis -V1 mixed.nsi)
echo "Packing $size_mib MiB in $files files of mixed data (zlib, one run each):"
printf '  %-28s %8s ms  %12s bytes\n' "packbuild (level 9)" "$pb_ms" "$(stat -c %s packbuild-setup.exe)"
printf '  %-28s %8s ms  %12s bytes\n' "makensis (SetCompressor zlib)" "$nsis_ms" "$(stat -c %s makensis-setup.exe)"
echo "  ratio packbuild / makensis: $(ratio "$pb_ms" "$nsis_ms")"
