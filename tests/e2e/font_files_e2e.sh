#!/usr/bin/env bash
# The editor and font files end to end, as a user works: Glyver.exe under
# Wine on the build's Xvfb, driven with xdotool. The image named on the
# command line opens; an interval set and undone with Ctrl+Z leaves the font
# as it was, so Font > Export font file... through the real dialog writes
# what glyphmill export writes, byte for byte, as BDF and (by the name typed)
# as PSF. Font > Import font file... of a PCF
# through the real dialogs, OK and File > Save then write what glyphmill
# import writes.
#   font_files_e2e.sh RELEASE.zip GLYPHMILL
# Leaves screenshots of the main window and of the import's options dialog
# in $GLYPHMILL_BUILD/e2e-font-files/.
set -euo pipefail
source "$(dirname "$0")/e2e-common.sh"
e2e_begin font-files "$1"
glyphmill=$2
truetype=/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf
pcf=/usr/share/fonts/X11/misc/6x13.pcf.gz

"$glyphmill" import --add "$work/start.bin" "$truetype" --height 2 >/dev/null
"$glyphmill" export "$work/start.bin" --font 0 -o "$work/expected.bdf"
"$glyphmill" export "$work/start.bin" --font 0 -o "$work/expected.psf"
cp "$work/start.bin" "$work/expected.bin"
"$glyphmill" import "$work/expected.bin" "$pcf" --font 0 >/dev/null

# Wine's menu bar is 19 pixels high: client (x, y) is at (x, y + 19).
# Answers the file dialog titled $1 with the Linux path $2 until the command
# that follows succeeds (the dialog may not have the keyboard when it first
# appears).
answer_dialog() {
  local title=$1 path=$2 dialog
  for _ in 1 2 3; do
    dialog=$(wait_for_window "^$title\$")
    [ -n "$dialog" ] || return 1
    sleep 1
    xdotool windowfocus --sync "$dialog" 2>/dev/null || true
    xdotool key --delay 50 End shift+Home Delete
    xdotool type --delay 30 "$(windows_path "$path")"
    xdotool key Return
    for _ in $(seq 50); do "${@:3}" && return 0; sleep 0.2; done
  done
  return 1
}

cd "$work"
echo "step: Glyver.exe start.bin"
start_program "$work/glyver.log" "$glyver" "$(windows_path "$work/start.bin")"
window=$(wait_for_window '^Glyphmill <.*start\.bin> $')
[ -n "$window" ] || { echo "FAIL: the file on the command line did not open"; exit 1; }
sleep 1
xdotool windowfocus --sync "$window" 2>/dev/null || true

echo "step: interval 7, Set, then Ctrl+Z"
click 600 187          # the interval field
xdotool key --window "$window" --delay 50 End shift+Home Delete
xdotool type --window "$window" --delay 50 "7"
click 647 188          # its "Set"
keys ctrl+z

echo "step: Font > Export font file... through the dialog, as BDF and as PSF"
# "&File" and "&Font" share their letter: open Send and step right.
for format in bdf psf; do
  keys alt+s Right e
  answer_dialog "Export font file" "$work/font.$format" test -e "$work/font.$format" || fail "no $format written"
  if [ -f "$work/font.$format" ]; then
    cmp -s "$work/font.$format" "$work/expected.$format" || fail "the $format differs from glyphmill export's (the undo?)"
  fi
done

echo "step: Font > Import font file... of a PCF, OK, File > Save"
options_shown() { [ -n "$(xdotool search --onlyvisible --name '^Import font file$' 2>/dev/null)" ]; }
keys alt+s Right f
answer_dialog "Open font file" "$pcf" options_shown || fail "no options dialog"
options=$(wait_for_window '^Import font file$')
if [ -n "$options" ]; then
  sleep 1
  shot "$options" "$work/import-font-file.png"
  closing_key "$options" Return
  wait_until_gone '^Import font file$' || fail "the options dialog stayed"
  keys alt+f s
  sleep 1
  cmp -s "$work/start.bin" "$work/expected.bin" || fail "the image differs from glyphmill import's"
fi

shot "$window" "$work/editor.png"
e2e_end "font files e2e"
