#!/usr/bin/env bash
# The whole road, as a user goes it: an installed font through the editor and
# the sender into the printer. Glyver.exe and glysend.exe side by side in one
# folder, under Wine on the build's Xvfb, the printer emulator on COM1:
# File > New, the font's height set to 2, Font > Import windows font through
# the real font chooser (DejaVu Sans Mono, 12 points), Send > Send to printer,
# "Send" in the sender's window. The printer's image must be current.bin byte
# for byte, and glyphmill info must show the imported font.
#   road_e2e.sh GLYVER.EXE GLYSEND.EXE GLYPHMILL
# Leaves the screenshots in $GLYPHMILL_BUILD/e2e-road/.
set -euo pipefail
glyver=$1
glysend=$2
glyphmill=$3
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/wine-env"
source "$root/tests/e2e/e2e-common.sh"
"$root/scripts/with-printer" --map-com1
work="$glyphmill_build/e2e-road"
com1="$glyphmill_build/com1"
rm -rf "$work"
mkdir -p "$work/app"
cp "$glyver" "$work/app/Glyver.exe"
cp "$glysend" "$work/app/glysend.exe"

printer=""
editor=""
cleanup() {
  [ -n "$printer" ] && kill "$printer" 2>/dev/null
  [ -n "$editor" ] && xdotool windowclose "$editor" 2>/dev/null
  wineserver -k 2>/dev/null || true
}
trap cleanup EXIT

# The hand-over file lands in the prefix's temporary directory.
temp_dir=$(winepath -u "$(wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')")
hand_over="$temp_dir/current.bin"
rm -f "$hand_over"

rm -f "$com1"
"$glyphmill" printer --link "$com1" --timeout 140 --save "$work/printer.bin" >"$work/printer.log" 2>&1 &
printer=$!
for _ in $(seq 100); do [ -L "$com1" ] && break; sleep 0.05; done
[ -L "$com1" ] || { echo "FAIL: the emulator did not start"; cat "$work/printer.log"; exit 1; }

cd "$work"
wine "$work/app/Glyver.exe" >"$work/glyver.log" 2>&1 &
editor=$(wait_for_window '^Glyphmill $')
[ -n "$editor" ] || { echo "FAIL: no editor window"; exit 1; }
sleep 1
xdotool windowfocus --sync "$editor" 2>/dev/null || true

# The editor's X window holds its menu bar (19 pixels) above the client area.
menu=19
click() { xdotool mousemove --window "$editor" "$1" $(($2 + menu)) click 1; sleep 0.3; }
keys() { xdotool key --window "$editor" --delay 100 "$@"; sleep 0.5; }

echo "step: File > New"
keys alt+f n
[ -n "$(xdotool search --name '^Glyphmill < New File > $' 2>/dev/null)" ] || fail "no new document"

echo "step: font height 2"
click 600 118          # the height field
xdotool key --window "$editor" --delay 50 End shift+Home Delete
xdotool type --window "$editor" --delay 50 "2"
click 647 119          # its "Set"

echo "step: Font > Import windows font, DejaVu Sans Mono at 12 points in the chooser"
# "&Send" and "&Font" share no letter with a free menu: open Send, step right.
keys alt+s Right i
chooser=$(wait_for_window '^Font$')
if [ -z "$chooser" ]; then
  fail "no font chooser"
else
  sleep 0.5
  # The face field has the focus; typing picks the face from the list.
  xdotool type --window "$chooser" --delay 30 "DejaVu Sans Mono"
  xdotool key --window "$chooser" --delay 100 Tab Tab
  xdotool type --window "$chooser" --delay 30 "12"
  sleep 0.3
  xdotool key --window "$chooser" Return
  wait_until_gone '^Font$' || fail "the font chooser stays open"
fi
sleep 1
shot "$editor" "$work/import.png"

echo "step: Send > Send to printer"
keys alt+s s
sender=$(wait_for_window '^Font Send$')
if [ -z "$sender" ]; then
  fail "no sender window"
  xdotool search --name '^Error$' >/dev/null 2>&1 && fail "the editor reports an error"
else
  [ -f "$hand_over" ] || fail "no hand-over file in $temp_dir"
  sleep 1
  echo "step: \"Send\" in the sender's window (about 35 seconds)"
  xdotool mousemove --window "$sender" 56 132
  sleep 0.2
  xdotool click 1
  status=0
  wait "$printer" || status=$?
  printer=""
  echo "  printer: $(tail -n 1 "$work/printer.log")"
  [ "$status" -eq 0 ] || fail "the transmission did not complete (emulator exit $status)"
  sleep 1
  shot "$sender" "$work/sender.png"
fi
# The editor keeps its own document: still the new file.
[ -n "$(xdotool search --name '^Glyphmill < New File > $' 2>/dev/null)" ] || fail "the editor's caption changed"

if [ -f "$work/printer.bin" ] && [ -f "$hand_over" ]; then
  cmp "$hand_over" "$work/printer.bin" || fail "the printer's image differs from current.bin"
  "$glyphmill" info "$work/printer.bin" | tee "$work/info.txt"
  # One font, 2 bytes high, filled by the import (a new font has no ink).
  grep -Eq '^0 "Unnamed " height 2 interval 1 limit 8 inked ([2-9][0-9]{2})$' "$work/info.txt" ||
    fail "the printer does not hold the imported font"
  [ "$(wc -l <"$work/info.txt")" -eq 1 ] || fail "the printer holds more than one font"
else
  fail "no image in the printer"
fi

if [ "$failures" -eq 0 ]; then echo "road e2e: all steps passed"; else echo "road e2e: $failures failed"; fi
[ "$failures" -eq 0 ]
