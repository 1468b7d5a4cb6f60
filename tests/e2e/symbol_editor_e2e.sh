#!/usr/bin/env bash
# The symbol editor end to end, as a user works: New, click symbol 65 in the
# table, draw cells in the symbol editor with the mouse, Enter, Save As, and
# the symbol's bytes read back from the saved file.
#   symbol_editor_e2e.sh RELEASE.zip [SCREENSHOT.png]
set -euo pipefail
source "$(dirname "$0")/e2e-common.sh"
e2e_begin symbol-editor "$1"
screenshot=${2:-}
saved="$work/glyph.bin"

cd "$work"
start_program "$work/glyver.log" "$glyver"
window=$(wait_for_window '^Glyphmill')
[ -n "$window" ] || die "the main window did not appear"
sleep 1

# File > New (the menu by keyboard), then a left click on symbol 65: row 4,
# column 1 of the table of 16 x 16 cells of 25 pixels at (36, 56) of the client area.
xdotool windowfocus --sync "$window"
xdotool key alt+f
sleep 0.5
xdotool key n
sleep 1
xdotool mousemove --window "$window" $((client_left + 73)) $((client_top + 168)) click 1
editor=$(wait_for_window '^Symbol Editor   #')
[ -n "$editor" ] || die "the symbol editor did not open"
sleep 0.5

# Grid cells are 10 pixels at (6, 6) of the editor's client area: the top
# row and the bottom row of the one column, and a drag down rows 2 to 4.
cell() { echo "$((client_left + 6 + 10 * $1 + 5)) $((client_top + 6 + 10 * $2 + 5))"; }
xdotool mousemove --window "$editor" $(cell 0 0) click 1
xdotool mousemove --window "$editor" $(cell 0 7) click 1
xdotool mousemove --window "$editor" $(cell 0 2) mousedown 1
for row in 3 4; do sleep 0.3; xdotool mousemove --window "$editor" $(cell 0 $row); done
sleep 0.3
xdotool mouseup 1
sleep 0.5
[ -n "$screenshot" ] && import -window root -crop 420x620+0+0 "$screenshot"
# Enter reaches the symbol editor through the main loop's accelerator table.
# Wine may drop the first key after the X focus moves, so Enter is pressed
# again while the editor is still shown.
for _ in 1 2 3; do
  xdotool windowfocus --sync "$editor"
  sleep 0.5
  xdotool key Return
  sleep 1
  xdotool search --onlyvisible --name '^Symbol Editor' >/dev/null 2>&1 || break
done
xdotool search --onlyvisible --name '^Symbol Editor' >/dev/null 2>&1 && die "Enter did not close the symbol editor"

# File > Save As, the file name typed into the dialog: the dialog is the
# one visible window that the program did not show before.
before=$(xdotool search --onlyvisible --name '.' 2>/dev/null | sort)
new_window() { comm -13 <(echo "$before") <(xdotool search --onlyvisible --name '.' 2>/dev/null | sort) | head -n 1; }
dialog=""
for _ in 1 2 3; do
  xdotool windowfocus --sync "$window"
  sleep 0.5
  xdotool key alt+f
  sleep 0.5
  xdotool key a
  sleep 1.5
  dialog=$(new_window) || true
  [ -n "$dialog" ] && break
  xdotool key Escape Escape
done
[ -n "$dialog" ] || die "the save dialog did not open"
sleep 1
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
xdotool type "$(windows_path "$saved")"
xdotool key Return
for _ in $(seq 50); do [ -s "$saved" ] && break; sleep 0.2; done
[ -s "$saved" ] || die "nothing was saved"

# Symbol 65 of font 0: its table entry (big-endian printer address, bank 0
# seen at 0x8000) at 0x100 + 2 x 65; the record is the width and the bytes.
python3 - "$saved" <<'PY' || fail "the saved symbol is not what was drawn"
import sys
image = open(sys.argv[1], "rb").read()
assert len(image) == 65536, len(image)
entry = 0x100 + 2 * 65
offset = (image[entry] << 8 | image[entry + 1]) - 0x8000
width, byte = image[offset], image[offset + 1]
print("symbol 65: width %d, byte %02x" % (width, byte))
# Rows 7, 0 and 5, 4, 3 from the bottom inked: bits 7, 0, 5, 4, 3 are 0.
assert (width, byte) == (1, 0x46), (width, hex(byte))
PY
e2e_end "symbol editor e2e"
