# Sourced by the end-to-end tests: counting failures, finding the programs'
# windows on the build's Xvfb, screenshots and Wine paths.

failures=0
# Records a failed step; the test goes on and fails at its end.
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Prints the id of the first window whose name matches, waiting up to 20 s;
# prints nothing when none appears.
wait_for_window() {
  local name=$1 found=""
  for _ in $(seq 100); do
    found=$(xdotool search --name "$name" 2>/dev/null | head -n 1) && [ -n "$found" ] && break
    sleep 0.2
  done
  echo "$found"
}

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
