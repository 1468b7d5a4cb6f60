#!/usr/bin/env bash
# The symbol editor end to end, as a user works: New, click symbol 65 in the
# table, draw cells in the symbol editor with the mouse, Enter, Save As, and
# the symbol's bytes read back from the saved file.
#   symbol_editor_e2e.sh GLYVER.EXE [SCREENSHOT.png]
set -euo pipefail
glyver=$1
screenshot=${2:-}
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/wine-env"
source "$root/tests/e2e/e2e-common.sh"
work="$glyphmill_build/e2e-symbol-editor"
rm -rf "$work"
mkdir -p "$work"
saved="$work/glyph.bin"

fail() { echo "FAIL: $*"; import -window root "$work/failure.png" 2>/dev/null || true; exit 1; }

main=""
cleanup() {
  [ -n "$main" ] && xdotool windowclose "$main" 2>/dev/null
  wineserver -k 2>/dev/null || true
}
trap cleanup EXIT

# Waits for a visible window whose name matches and prints its id.
wait_window() {
  for _ in $(seq 150); do
    local id
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

(cd "$work" && wine "$glyver" >"$work/glyver.log" 2>&1) &
main=$(wait_window '^Glyphmill') || fail "the main window did not appear"
sleep 1

# The X window of a Wine window without a window manager begins at the menu
# bar, 20 pixels above the client area.
menu=20
# File > New (the menu by keyboard), then a left click on symbol 65: row 4,
# column 1 of the table of 16 x 16 cells of 25 pixels at (36, 56) of the client area.
xdotool windowfocus --sync "$main"
xdotool key alt+f
sleep 0.5
xdotool key n
sleep 1
xdotool mousemove --window "$main" 73 $((168 + menu)) click 1
editor=$(wait_window '^Symbol Editor   #') || fail "the symbol editor did not open"
sleep 0.5

# Grid cells are 10 pixels at (6, 6) of the editor's client area: the top
# row and the bottom row of the one column, and a drag down rows 2 to 4.
cell() { echo "$((6 + 10 * $1 + 5)) $((menu + 6 + 10 * $2 + 5))"; }
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
xdotool search --onlyvisible --name '^Symbol Editor' >/dev/null 2>&1 && fail "Enter did not close the symbol editor"

# File > Save As, the file name typed into the dialog: the dialog is the
# one visible window that the program did not show before.
before=$(xdotool search --onlyvisible --name '.' 2>/dev/null | sort)
new_window() { comm -13 <(echo "$before") <(xdotool search --onlyvisible --name '.' 2>/dev/null | sort) | head -n 1; }
dialog=""
for _ in 1 2 3; do
  xdotool windowfocus --sync "$main"
  sleep 0.5
  xdotool key alt+f
  sleep 0.5
  xdotool key a
  sleep 1.5
  dialog=$(new_window) || true
  [ -n "$dialog" ] && break
  xdotool key Escape Escape
done
[ -n "$dialog" ] || fail "the save dialog did not open"
sleep 1
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
xdotool type "$(windows_path "$saved")"
xdotool key Return
for _ in $(seq 50); do [ -s "$saved" ] && break; sleep 0.2; done
[ -s "$saved" ] || fail "nothing was saved"

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
echo "symbol editor e2e: passed"
