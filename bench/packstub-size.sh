#!/usr/bin/env bash
# The size of packstub.exe, the part every shipped setup carries, next to the installer stub of
# Debian's NSIS: the zlib stub file it ships and a minimal installer it builds with zlib.
# Usage: bench/packstub-size.sh [build/win32]   (build the win32 tree first: make win32)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=${1:-$root/build/win32}
stub=$tree/stub/packstub.exe
[ -f "$stub" ] || { echo "packstub-size: $stub is missing (make win32)" >&2; exit 1; }
command -v makensis >/dev/null || { echo "packstub-size: makensis is missing (Debian package nsis)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'SetCompressor zlib\nOutFile "%s/minimal.exe"\nRequestExecutionLevel user\nSection\nSectionEnd\n' \
  "$work" >"$work/minimal.nsi"
makensis -V1 "$work/minimal.nsi" >/dev/null
nsis_stub=/usr/share/nsis/Stubs/zlib-x86-ansi

printf '%-44s %9s bytes\n' "packstub.exe (stripped, -Os)" "$(stat -c %s "$stub")"
printf '%-44s %9s bytes\n' "NSIS stub file zlib-x86-ansi" "$(stat -c %s "$nsis_stub")"
printf '%-44s %9s bytes\n' "NSIS minimal installer, SetCompressor zlib" "$(stat -c %s "$work/minimal.exe")"
