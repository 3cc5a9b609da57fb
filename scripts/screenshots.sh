#!/usr/bin/env bash
# Takes the README's screenshots under Wine: the status window of a visible setup (the stub
# harness with its progress half-way) and a message box with bold text and three buttons.
# Needs the native tree and the stub's Windows tree (`scripts/winenv stub-tree`). Writes
# docs/status-window.png and docs/msgbox.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
eval "$("$root/scripts/winenv" env)"
testing=$root/build/$("$root/scripts/winenv" stub-tree)/testing
probe=$testing/guiprobe.exe
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The rectangle of the first window that matches, as ImageMagick's crop geometry.
geometry() {
  wine "$probe" wait "$@" >/dev/null
  sleep 1
  wine "$probe" show "$@" | python3 -c 'import json,sys; r=json.loads(sys.stdin.readline())["rect"]; print(f"{r[2]-r[0]}x{r[3]-r[1]}+{r[0]}+{r[1]}")'
}

shoot() {
  import -display "$DISPLAY" -window root -crop "$1" +repage -colors 64 "$2"
}

printf '[setup]\nstub = %s\noutput = %s\n[language English]\ns0 = Acme Product Setup\n' \
  "$testing/stubharness.exe" "$work/Setup.exe" >"$work/setup.desc"
"$root/build/native/tools/packbuild" build "$work/setup.desc" >/dev/null
win=$(winepath -w "$work")
# Through a batch file, so that the quoted status text reaches the program as typed.
printf '"%s\\Setup.exe" /REPORT=%s\\report.txt /PROGRESS=0:10:4 /SHOW /STATUS="Unpacking Acme Product..."\r\n' \
  "$win" "$win" >"$work/run.bat"
wine cmd /c "$win\\run.bat" >/dev/null 2>&1 &
shoot "$(geometry --title "Acme Product Setup" --visible)" "$root/docs/status-window.png"
wine "$probe" close --title "Acme Product Setup" >/dev/null
wine "$probe" close --title "Acme Product Setup" >/dev/null
wait

wine "$testing/boxtool.exe" show 0 0 0x233 0 Attention \
  "The file <b>setup.dat</b> could not be read from the disk.<P>Try the <b>disk</b> again, skip the file, or stop the setup?" \
  >/dev/null &
shoot "$(geometry --class KMsgBox)" "$root/docs/msgbox.png"
wine "$probe" close --class KMsgBox >/dev/null
wait
echo "screenshots: docs/status-window.png docs/msgbox.png"
