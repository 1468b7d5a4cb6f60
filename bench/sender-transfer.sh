#!/usr/bin/env bash
# Times one whole transmission at 115200 baud: glysend.exe under Wine against
# the printer emulator answering at once on COM1. The protocol's own floor is
# 129 looks at the port x 250 ms = 32.25 s; the target is at most 1.04 times it.
#   bench/sender-transfer.sh [GLYSEND.EXE [GLYPHMILL]]
#   GLYPHMILL_BENCH_BAUD=B  the emulator paces its line at B baud (default: not paced)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${GLYPHMILL_BUILD:-$root/build}
glysend=${1:-$build/win/sender/glysend.exe}
glyphmill=${2:-$build/host/glyphmill/glyphmill}
source "$root/tests/e2e/e2e-common.sh"
use_com1
work="$glyphmill_build/bench-sender"
mkdir -p "$work"
head -c 65536 /dev/urandom >"$work/image.bin"

start_program /dev/null "$glysend" "-fn:$(windows_path "$work/image.bin")" >&2
window=$(wait_for_window '^Font Send$')
[ -n "$window" ] || { echo "no window" >&2; exit 1; }
sleep 1
# Points of the client area (the sender has no menu bar).
at() { xdotool mousemove --window "$window" $(($1 + client_left)) $(($2 + client_top_without_menu)); sleep 0.2; }
# Speed box: the last entry, 115200.
at 160 42; xdotool click 1; sleep 0.5
xdotool key End Return; sleep 0.5

rm -f "$com1"
"$glyphmill" printer --link "$com1" --timeout 120 ${GLYPHMILL_BENCH_BAUD:+--baud "$GLYPHMILL_BENCH_BAUD"} \
  --save "$work/saved.bin" >"$work/printer.log" 2>&1 &
printer=$!
for _ in $(seq 100); do [ -L "$com1" ] && break; sleep 0.05; done
at 56 132
start=$(date +%s.%N)
xdotool click 1
wait "$printer"
end=$(date +%s.%N)
cmp -s "$work/image.bin" "$work/saved.bin" || { echo "the printer's image differs" >&2; exit 1; }
protocol=$(sed -n 's/.*repeats, \([0-9.]*\) s, complete/\1/p' "$work/printer.log")
# The emulator lingers one second after its last answer.
awk -v line="$protocol" -v start="$start" -v end="$end" 'BEGIN {
  printf "transmission at 115200 baud: %.2f s on the line (first handshake byte to last page), %.2f s from the click; floor 32.25 s; ratio %.3f\n",
    line, end - start - 1, line / 32.25 }'
