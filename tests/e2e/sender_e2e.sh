#!/usr/bin/env bash
# The font sender end to end: glysend.exe under Wine, the printer emulator on
# a pseudo-terminal mapped as COM1, the buttons pressed with xdotool.
#   sender_e2e.sh RELEASE.zip GLYPHMILL
# One glysend runs through every case, so each case after a failure also
# shows that the port was closed and the controls given back.
set -euo pipefail
source "$(dirname "$0")/e2e-common.sh"
e2e_begin sender "$1"
glyphmill=$2
use_com1
# Waits for the emulator to end; its exit status says whether the exchange
# ended as its options asked.
finish_printer() {
  local what=$1 status=0
  wait "$printer" || status=$?
  printer=""
  echo "  $what: $(tail -n 1 "$work/printer.log")"
  [ "$status" -eq 0 ] || fail "$what: the exchange did not end as asked (exit $status)"
  # The sender learns of the end at its next look at the port.
  sleep 1
  import -window root -crop 215x180+350+150 "$work/$what.png" 2>/dev/null || true
}

# Waits for an emulator asked to go silent to say that it has; it then holds
# the line, saying nothing, until it is stopped.
until_silent() {
  local what=$1
  for _ in $(seq 400); do grep -q ', silent$' "$work/printer.log" && break; sleep 0.25; done
  echo "  $what: $(tail -n 1 "$work/printer.log")"
  grep -q ', silent$' "$work/printer.log" || fail "$what: the emulator did not go silent as asked"
}
# Stops a silent emulator, which says so with exit 130.
stop_printer() {
  local what=$1 status=0
  kill -TERM "$printer"
  wait "$printer" || status=$?
  printer=""
  [ "$status" -eq 130 ] || fail "$what: the emulator, stopped, ended with exit $status, not 130"
}

# Clicks a point of the window's client area (the sender has no menu bar).
press_at() {
  xdotool mousemove --window "$window" $(($1 + client_left)) $(($2 + client_top_without_menu))
  sleep 0.2
  xdotool click 1
}
press_send() { press_at 56 132; }
press_read() { press_at 155 132; }
press_file_select() { press_at 56 77; }
# The speed box's first entry, 2400 baud.
choose_slowest_speed() {
  press_at 160 42
  sleep 0.5
  xdotool key Home Return
  sleep 0.5
}

# The colour of the status box, inside it beside the text, as RRGGBB.
status_colour() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "1x1+$((X + client_left + 112))+$((Y + client_top_without_menu + 78))" -depth 8 txt:- 2>/dev/null |
    grep -o '#[0-9A-Fa-f]\{6\}' | tail -n 1 | tr -d '#' | tr a-f A-F
}
# Waits up to 20 s for the status box to turn red and prints the seconds it took.
wait_for_red() {
  local start=$SECONDS
  for _ in $(seq 80); do
    [ "$(status_colour)" = "FF0000" ] && { echo $((SECONDS - start)); return 0; }
    sleep 0.25
  done
  echo "never"
}
# A silent printer ends the transfer with "No answer" on red: not at once (as
# an error answer would) but once the awaited bytes have had 5 s and their
# time on the line, counted from the last write.
expect_no_answer() {
  local what=$1 waited
  waited=$(wait_for_red)
  echo "  $what: the status turned red $waited s after the emulator had gone silent"
  if [ "$waited" = "never" ]; then fail "$what: the transfer did not end"
  elif [ "$waited" -lt 3 ]; then fail "$what: the transfer ended at once, not for want of an answer"
  fi
  import -window root -crop 215x180+350+150 "$work/$what.png" 2>/dev/null || true
}

# Fails when a temporary file of a write to $1 is still beside it.
leftover() {
  local temporaries=("$1".*.tmp)
  [ ! -e "${temporaries[0]}" ] || fail "a temporary file was left beside $1"
}

head -c 65536 /dev/urandom >"$work/image.bin"
head -c 65536 /dev/urandom >"$work/printer-image.bin"
echo "old content" >"$work/read.bin"

# The path is passed unquoted: Wine would escape quotes inside an argument.
start_program "$work/glysend.log" "$glysend" "-fn:$(windows_path "$work/image.bin")"
window=$(wait_for_window '^Font Send$')
[ -n "$window" ] || die "no window"
sleep 1

echo "case: an unknown answer ends the transmission at once"
start_printer --timeout 10 --garbage 0
press_send
finish_printer "unknown byte"

echo "case: \"f\" ends the transmission"
start_printer --timeout 10 --fail 2
press_send
finish_printer "verification error"

echo "case: a fourth \"w\" to one page ends with a page fault"
start_printer --timeout 10 --wrong 1:4
press_send
finish_printer "page fault"

echo "case: three \"w\" then \"s\" completes, and the printer holds the file"
start_printer --timeout 60 --wrong 5:3 --save "$work/saved.bin"
press_send
finish_printer "transmission"
cmp -s "$work/image.bin" "$work/saved.bin" || fail "the printer's image differs from the file"
sleep 0.5
import -window root -crop 215x180+350+150 "$work/after-transmit.png" 2>/dev/null || true

echo "case: Read into a file chosen in the dialog, with one bad block"
start_printer --timeout 60 --serve "$work/printer-image.bin" --bad-crc 3
press_file_select
dialog=$(wait_for_window '^Open BIN File$')
[ -n "$dialog" ] || fail "no open dialog"
sleep 0.5
xdotool type --delay 20 "$(windows_path "$work/read.bin")"
xdotool key Return
# On a busy machine the dialog may take a while to go away.
for _ in $(seq 50); do
  xdotool search --name '^Open BIN File$' >/dev/null 2>&1 || break
  sleep 0.2
done
sleep 1
# A click right after the dialog may only bring the window back to the
# front; a second one on the then disabled button does nothing.
press_read
sleep 0.5
press_read
finish_printer "reception"
for _ in $(seq 20); do cmp -s "$work/printer-image.bin" "$work/read.bin" && break; sleep 0.2; done
cmp -s "$work/printer-image.bin" "$work/read.bin" || fail "the file read differs from the printer's image"
leftover "$work/read.bin"

# A line paced at 1200 baud, slower than the slowest speed the sender offers:
# a page frame takes 4.3 s to cross it and each answer comes 1.5 s later,
# past 5 s from the write, yet within 5 s from when the frame has left.
choose_slowest_speed

echo "case: a printer silent after page 2 on a 1200 baud line ends with \"No answer\""
start_printer --timeout 90 --baud 1200 --answer-delay 1500 --silent-after 2
press_send
until_silent "silent transmission"
expect_no_answer "no answer to a page"
stop_printer "silent transmission"

echo "case: a printer silent after block 1 on a 1200 baud line ends with \"No answer\", the file untouched"
echo "old content" >"$work/read.bin"
start_printer --timeout 90 --baud 1200 --serve "$work/printer-image.bin" --silent-after 1
press_read
until_silent "silent reception"
expect_no_answer "no block"
stop_printer "silent reception"
[ "$(cat "$work/read.bin")" = "old content" ] || fail "the file was changed by a reception that did not complete"
leftover "$work/read.bin"

echo "case: after \"No answer\" the controls are back: \"f\" ends a new transmission"
start_printer --timeout 20 --fail 0
press_send
finish_printer "after no answer"

e2e_end "sender e2e"
