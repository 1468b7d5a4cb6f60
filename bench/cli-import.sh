#!/usr/bin/env bash
# Times glyphmill.exe import of all 256 codes of DejaVu Sans Mono, 4 bytes
# high, under Wine: its own time is the median of 9 runs from start to exit
# less the median of 9 runs of glyphmill.exe --version (a Wine process's
# start). The Linux glyphmill's median of 9 runs is shown beside it.
#   bench/cli-import.sh [GLYPHMILL.EXE [GLYPHMILL]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${GLYPHMILL_BUILD:-$root/build}
export GLYPHMILL_BUILD=$build
glyphmill_exe=${1:-$build/win64/glyphmill/glyphmill.exe}
glyphmill=${2:-$build/host/glyphmill/glyphmill}
work="$build/bench-import"
font=/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf
mkdir -p "$work"
"$glyphmill" new "$work/image.bin"

# median_ms COMMAND...: the median of 9 runs' wall time in milliseconds.
median_ms() {
  local i start end
  for i in $(seq 9); do
    start=$(date +%s%N)
    "$@" >/dev/null </dev/null
    end=$(date +%s%N)
    echo $(((end - start) / 1000))
  done | sort -n | sed -n 5p | awk '{ printf "%.1f", $1 / 1000 }'
}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
"$root/scripts/wine-run" "$glyphmill_exe" --version >/dev/null </dev/null  # the Wine server up
start=$(median_ms "$root/scripts/wine-run" "$glyphmill_exe" --version)
import=$(median_ms "$root/scripts/wine-run" "$glyphmill_exe" import "Z:$work/image.bin" "Z:$font" --font 0 --height 4)
linux=$(median_ms "$glyphmill" import "$work/image.bin" "$font" --font 0 --height 4)
awk -v s="$start" -v i="$import" -v l="$linux" 'BEGIN {
  printf "glyphmill.exe import (Wine): %.1f ms from start to exit, %.1f ms of it a Wine start: %.1f ms its own\n", i, s, i - s
  printf "glyphmill import (Linux):    %.1f ms from start to exit\n", l }'
