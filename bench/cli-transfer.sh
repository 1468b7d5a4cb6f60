#!/usr/bin/env bash
# Times whole transfers against the printer emulator on a line paced at the
# given speed: glyphmill send, glyphmill.exe send (under Wine, through COM1)
# and glysend.exe (under Wine, driven with xdotool) side by side at 115200 baud, glyphmill send at 9600 baud, and
# glyphmill verify at 115200 baud. The line limit is what the bytes alone
# need: 128 frames of 514 bytes and 2 handshake bytes one way, 130 answers the
# other, 10 bits a byte (5.72 s at 115200, 68.7 s at 9600, 549 s at 1200).
# The figure for 1200 baud is computed: the 9600 run's time above its line
# limit (the cost of the 130 turns of the line) added to the limit at 1200.
#   bench/cli-transfer.sh [GLYSEND.EXE [GLYPHMILL [GLYPHMILL.EXE]]]
#   GLYPHMILL_BENCH_SKIP_GLYSEND=1  leave out the Wine runs
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${GLYPHMILL_BUILD:-$root/build}
glysend=${1:-$build/win/sender/glysend.exe}
glyphmill=${2:-$build/host/glyphmill/glyphmill}
glyphmill_exe=${3:-$build/win/glyphmill/glyphmill.exe}
work="$build/bench-cli"
port="$work/port"
mkdir -p "$work"
"$glyphmill" new --force "$work/image.bin"

limit() { awk -v baud="$1" 'BEGIN { printf "%.2f", (128 * 514 + 2 + 130) * 10 / baud }'; }
now() { date +%s.%N; }

# start_printer BAUD [OPTIONS...]: the emulator on a new pty linked at $port.
start_printer() {
  local baud=$1; shift
  rm -f "$port"
  "$glyphmill" printer --link "$port" --baud "$baud" --timeout 900 "$@" >"$work/printer.log" 2>&1 &
  printer=$!
  for _ in $(seq 100); do [ -L "$port" ] && break; sleep 0.05; done
}

# glyphmill_run COMMAND BAUD: prints the command's seconds from start to exit.
glyphmill_run() {
  local command=$1 baud=$2 start end
  if [ "$command" = verify ]; then start_printer "$baud" --serve "$work/image.bin"; else start_printer "$baud"; fi
  start=$(now)
  "$glyphmill" "$command" "$work/image.bin" --port "$port" --baud "$baud" --quiet >"$work/$command.out"
  end=$(now)
  wait "$printer"
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.2f", e - s }'
}

# glyphmill.exe send under Wine through COM1, mapped to the emulator's pty:
# prints the seconds on the line from the first handshake byte to the answer
# to the last page, as the emulator reports the exchange (Wine's start of
# the process, a second or two, is not the transfer's).
glyphmill_exe_run() {
  export GLYPHMILL_BUILD=$build
  "$root/scripts/with-printer" --map-com1
  port=$build/com1 start_printer 115200
  "$root/scripts/wine-run" "$glyphmill_exe" send "Z:$work/image.bin" --port COM1 --baud 115200 --quiet </dev/null
  wait "$printer"
  sed -n 's/^printer: transmit .*, \([0-9.]*\) s, complete$/\1/p' "$work/printer.log"
}

# The window sender on the same paced line: the time on the line from the
# first handshake byte to the last page (the emulator's report of the exchange).
glysend_run() {
  GLYPHMILL_BENCH_BAUD=115200 "$root/bench/sender-transfer.sh" "$glysend" "$glyphmill" |
    sed -n 's/.*: \([0-9.]*\) s on the line.*/\1/p'
}

report() {  # report WHAT BAUD SECONDS
  awk -v what="$1" -v baud="$2" -v t="$3" -v l="$(limit "$2")" \
    'BEGIN { printf "%-28s %7d baud  %7.2f s  line limit %7.2f s  ratio %.3f\n", what, baud, t, l, t / l }'
}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
send115=$(glyphmill_run send 115200)
report "glyphmill send" 115200 "$send115"
if [ -z "${GLYPHMILL_BENCH_SKIP_GLYSEND:-}" ]; then
  report "glyphmill.exe (Wine), on the line" 115200 "$(glyphmill_exe_run)"
  report "glysend (Wine), on the line" 115200 "$(glysend_run)"
fi
verify115=$(glyphmill_run verify 115200)
report "glyphmill verify" 115200 "$verify115"
send9600=$(glyphmill_run send 9600)
report "glyphmill send" 9600 "$send9600"
report "glyphmill send (computed)" 1200 \
  "$(awk -v t="$send9600" -v l9600="$(limit 9600)" -v l1200="$(limit 1200)" 'BEGIN { printf "%.2f", l1200 + t - l9600 }')"
