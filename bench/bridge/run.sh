#!/usr/bin/env bash
# Builds the bridge benchmark and runs it once under Wine: bench/bridge/run.sh [scalar round trips]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
make --no-print-directory win64 JOBS="${JOBS:-2}" >/dev/null
cmake --build build/win64 --target bridge_bench -j "${JOBS:-2}" >/dev/null
scripts/winenv exec wine build/win64/bin/bridge_bench.exe "$@"
