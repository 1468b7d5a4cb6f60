#!/usr/bin/env bash
# The font editor end to end, as a user works: Glyver.exe under Wine on the
# build's Xvfb, driven with xdotool. File > New, Add Font, a name typed and
# Set, then File > Save As through the real dialog; glyphmill checks the file.
#   editor_e2e.sh RELEASE.zip GLYPHMILL
# Leaves a screenshot of the main window in $GLYPHMILL_BUILD/e2e-editor/.
set -euo pipefail
source "$(dirname "$0")/e2e-common.sh"
e2e_begin editor "$1"
glyphmill=$2

cd "$work"
start_program "$work/glyver.log" "$glyver"
window=$(wait_for_window '^Glyphmill $')
[ -n "$window" ] || { echo "FAIL: no main window"; exit 1; }
sleep 1
xdotool windowfocus --sync "$window" 2>/dev/null || true

echo "step: File > New"
keys alt+f n
[ -n "$(xdotool search --name '^Glyphmill < New File > $' 2>/dev/null)" ] || fail "no new document (caption)"

echo "step: Add Font, name it and Set"
click 497 15          # "Add Font"
click 512 81          # the name field
xdotool key --window "$window" --delay 50 End shift+Home Delete
xdotool type --window "$window" --delay 50 "Latin"
click 647 81          # its "Set"

# Types the name into the dialog's file name field and confirms. The name is
# a full path without the extension (the editor adds ".bin"): Wine's dialog
# opens in the folder it last visited, which may be another test's. Without a
# window manager the dialog may not have the keyboard yet when it appears, so
# the name is typed again (replacing what the field holds) until the file is
# there.
save_through_dialog() {
  local dialog
  for _ in 1 2 3; do
    dialog=$(wait_for_window '^Open BIN File$')
    [ -n "$dialog" ] || { keys alt+f a; continue; }
    sleep 1
    xdotool windowfocus --sync "$dialog" 2>/dev/null || true
    xdotool key --delay 50 End shift+Home Delete
    xdotool type --delay 30 "$(windows_path "$work/e2efont")"
    xdotool key Return
    for _ in $(seq 50); do [ -f "$work/e2efont.bin" ] && return 0; sleep 0.2; done
  done
  return 1
}

echo "step: File > Save As through the dialog"
keys alt+f a
save_through_dialog || fail "nothing saved"
sleep 1
caption_window=$(xdotool search --name '^Glyphmill <.*e2efont\.bin> $' 2>/dev/null | head -n 1)
[ -n "$caption_window" ] || fail "the caption does not name the saved file"

if [ -f "$work/e2efont.bin" ]; then
  size=$(stat -c %s "$work/e2efont.bin")
  [ "$size" -eq 65536 ] || fail "the file has $size bytes"
  "$glyphmill" check "$work/e2efont.bin" >"$work/check.txt" 2>&1 || fail "glyphmill check: $(cat "$work/check.txt")"
  "$glyphmill" info "$work/e2efont.bin" >"$work/info.txt" 2>&1 || fail "glyphmill info failed"
  cat "$work/info.txt"
  grep -q 'Unnamed' "$work/info.txt" || fail "font 0 is not the new document's font"
  grep -q 'Latin' "$work/info.txt" || fail "the added font's name is not in the file"
fi

echo "step: choose a symbol and take a screenshot"
xdotool mousemove --window "$window" $((client_left + 35 + 25 * 1 + 12)) $((client_top + 55 + 25 * 4 + 12)) click 3
sleep 1
shot "$window" "$work/editor.png"

e2e_end "editor e2e"
