#!/usr/bin/env bash
# Times glyphmill.exe import of all 256 codes of DejaVu Sans Mono, 4 bytes
# high, under Wine: its own time is the median processor time (user and
# system) of 9 runs less that of 9 runs of glyphmill.exe --version, the
# start of a Wine process. Processor time, since a Wine start's wall time
# swings by seconds on a busy machine. The Linux glyphmill's median of 9
# runs is shown beside it, the same way.
#   bench/cli-import.sh [GLYPHMILL.EXE [GLYPHMILL]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${GLYPHMILL_BUILD:-$root/build}
export GLYPHMILL_BUILD=$build
glyphmill_exe=${1:-$build/win/glyphmill/glyphmill.exe}
glyphmill=${2:-$build/host/glyphmill/glyphmill}
work="$build/bench-import"
font=/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf
mkdir -p "$work"
"$glyphmill" new "$work/image.bin"

# median_ms COMMAND...: the median of 9 runs' processor time in milliseconds.
median_ms() {
  local i TIMEFORMAT='%3U %3S'
  for i in $(seq 9); do
    { time "$@" >/dev/null 2>&1 </dev/null; } 2>&1 | awk '{ printf "%.1f\n", ($1 + $2) * 1000 }'
  done | sort -n | sed -n 5p
}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
"$root/scripts/wine-run" "$glyphmill_exe" --version >/dev/null </dev/null  # the Wine server up
start=$(median_ms "$root/scripts/wine-run" "$glyphmill_exe" --version)
import=$(median_ms "$root/scripts/wine-run" "$glyphmill_exe" import "Z:$work/image.bin" "Z:$font" --font 0 --height 4)
linux=$(median_ms "$glyphmill" import "$work/image.bin" "$font" --font 0 --height 4)
awk -v s="$start" -v i="$import" -v l="$linux" 'BEGIN {
  printf "glyphmill.exe import (Wine): %.1f ms processor time, %.1f ms of it a Wine start: %.1f ms its own\n", i, s, i - s
  printf "glyphmill import (Linux):    %.1f ms processor time\n", l }'
