# Sourced by the end-to-end tests after `set -euo pipefail`: the Wine
# environment, the programs of the release zip as a user unpacks them,
# counting failures, the printer emulator on COM1, finding the programs'
# windows on the build's Xvfb, screenshots and Wine paths.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/scripts/wine-env"

failures=0
# Records a failed step; the test goes on and fails at its end.
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# A failure the test cannot go on after: a screenshot of the screen, and out.
die() { echo "FAIL: $*"; import -window root "$work/failure.png" 2>/dev/null || true; exit 1; }

# Ends the test: its verdict from the failures counted. The exit code of the
# test when it is its last command.
e2e_end() {
  if [ "$failures" -eq 0 ]; then echo "$1: all steps passed"; else echo "$1: $failures failed"; fi
  [ "$failures" -eq 0 ]
}

window=""   # the program's main window, closed at the end
printer=""  # the emulator, ended at the end
release=""  # the unpacked release, removed at the end
e2e_cleanup() {
  [ -n "$printer" ] && kill "$printer" 2>/dev/null
  [ -n "$window" ] && xdotool windowclose "$window" 2>/dev/null
  wineserver -k 2>/dev/null || true
  [ -n "$release" ] && rm -rf "$release"
  return 0
}
trap e2e_cleanup EXIT

# e2e_begin NAME RELEASE.zip: a fresh work folder $work in the build folder,
# and glyver, glysend and glyphmill_exe naming the programs of the release zip,
# unpacked into a temporary folder.
e2e_begin() {
  work="$glyphmill_build/e2e-$1"
  rm -rf "$work"
  mkdir -p "$work"
  release=$(mktemp -d "${TMPDIR:-/tmp}/glyphmill-release.XXXXXX")
  unzip -q "$2" -d "$release"
  local folder=("$release"/*/)
  glyver=${folder[0]}Glyver.exe
  glysend=${folder[0]}glysend.exe
  glyphmill_exe=${folder[0]}glyphmill.exe
}

# start_program LOG PROGRAM [ARGS...]: PROGRAM under Wine in the background,
# its output in LOG; the test's log names the program and its kind.
start_program() {
  local log=$1
  shift
  echo "e2e: starting $1 ($(file -b "$1" | cut -d, -f1))"
  wine "$@" >"$log" 2>&1 &
}

# COM1 of the prefix, on the pseudo-terminal of the emulator that start_printer starts.
com1="$glyphmill_build/com1"
use_com1() { "$root/scripts/with-printer" --map-com1; }

# start_printer [OPTIONS...]: the emulator ($glyphmill) on COM1, its log in
# $work/printer.log, its process in $printer.
start_printer() {
  rm -f "$com1"
  "$glyphmill" printer --link "$com1" "$@" >"$work/printer.log" 2>&1 &
  printer=$!
  for _ in $(seq 100); do [ -L "$com1" ] && return 0; sleep 0.05; done
  fail "the emulator did not start"
  cat "$work/printer.log"
}

# Wine draws each window's frame (3 pixels), caption (25) and menu bar (20)
# inside its X window (scripts/wine-prefix.reg): client (x, y) is at
# (x + client_left, y + client_top) of the X window of a window with a menu
# bar, at (x + client_left, y + client_top_without_menu) of one without.
client_left=3
client_top=48
client_top_without_menu=28
click() { xdotool mousemove --window "$window" $(($1 + client_left)) $(($2 + client_top)) click 1; sleep 0.3; }
# Keys to the window as typed: sent to a window, Wine 10 may take a letter
# that opened a dialog as still held, and drops the dialog's next one.
keys() {
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool key --delay 100 "$@"
  sleep 0.5
}

# Prints the id of the first shown window whose name matches, waiting up to
# 20 s; prints nothing when none appears.
wait_for_window() {
  local found=""
  for _ in $(seq 100); do
    found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) && [ -n "$found" ] && break
    sleep 0.2
  done
  echo "$found"
}

# closing_key WINDOW KEY: KEY to WINDOW, which it closes. Wine destroys the
# window on the key's press, so xdotool's sending of the release finds no
# window; that is no failure (wait_until_gone tells whether it closed).
closing_key() { xdotool key --window "$1" "$2" 2>/dev/null || true; }

# Waits up to 20 s until no window's name matches.
wait_until_gone() {
  for _ in $(seq 100); do
    [ -z "$(xdotool search --name "$1" 2>/dev/null)" ] && return 0
    sleep 0.2
  done
  return 1
}

# Saves the part of the screen a window covers: shot WINDOW FILE.png
shot() {
  local window=$1 file=$2
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$file" 2>/dev/null || true
}

# The Wine path of a Linux path (drive Z: is the root).
windows_path() { echo "Z:$(echo "$1" | tr / '\\')"; }
