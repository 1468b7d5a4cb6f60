#!/usr/bin/env bash
# The whole road, as a user goes it: an installed font through the editor and
# the sender into the printer. Glyver.exe and glysend.exe side by side in the
# folder of the unpacked release zip, under Wine on the build's Xvfb, the printer emulator on COM1:
# File > New, the font's height set to 2, Font > Import windows font through
# the real font chooser (DejaVu Sans Mono, 12 points), Send > Send to printer,
# "Send" in the sender's window. The printer's image must be current.bin byte
# for byte, and glyphmill info must show the imported font.
#   road_e2e.sh RELEASE.zip GLYPHMILL
# Leaves the screenshots in $GLYPHMILL_BUILD/e2e-road/.
set -euo pipefail
source "$(dirname "$0")/e2e-common.sh"
e2e_begin road "$1"
glyphmill=$2
use_com1

# The hand-over file lands in the prefix's temporary directory.
temp_dir=$(winepath -u "$(wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')")
hand_over="$temp_dir/current.bin"
rm -f "$hand_over"

start_printer --timeout 140 --save "$work/printer.bin" || die "no printer"

cd "$work"
start_program "$work/glyver.log" "$glyver"
window=$(wait_for_window '^Glyphmill $')
[ -n "$window" ] || die "no editor window"
sleep 1
xdotool windowfocus --sync "$window" 2>/dev/null || true

echo "step: File > New"
keys alt+f n
[ -n "$(xdotool search --name '^Glyphmill < New File > $' 2>/dev/null)" ] || fail "no new document"

echo "step: font height 2"
click 600 118          # the height field
xdotool key --window "$window" --delay 50 End shift+Home Delete
xdotool type --window "$window" --delay 50 "2"
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
  xdotool key --window "$chooser" --delay 50 End shift+Home Delete
  xdotool type --window "$chooser" --delay 30 "DejaVu Sans Mono"
  xdotool key --window "$chooser" --delay 100 Tab Tab
  xdotool type --window "$chooser" --delay 30 "12"
  sleep 0.3
  closing_key "$chooser" Return
  wait_until_gone '^Font$' || fail "the font chooser stays open"
fi
sleep 1
shot "$window" "$work/import.png"

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
  xdotool mousemove --window "$sender" $((client_left + 56)) $((client_top_without_menu + 132))
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

e2e_end "road e2e"
