#!/usr/bin/env bash
# glyphmill.exe's send, read and verify under Wine through COM1, against the
# Linux glyphmill playing the printer on the pseudo-terminal mapped there:
# the image goes across and back byte for byte, and a page fault, a silent
# printer and a missing port each end with their own words and exit code.
#   transfers_under_wine.sh GLYPHMILL.EXE LINUX_GLYPHMILL
set -u
exe=$1 linux=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tests/e2e/e2e-common.sh"
echo "running $exe ($(file -b "$exe" | cut -d, -f1)) beside $linux"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
export GLYPHMILL_TOOL=$linux
"$linux" new image.bin
"$linux" import image.bin /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf --add --size 12 >/dev/null

# exchange "PRINTER OPTIONS" EXIT_CODE "WORDS" ARGS...: runs glyphmill.exe ARGS
# with the printer on COM1 at 115200 baud and checks the exit code and what it said last.
checks=0
exchange() {
  local options=$1 code=$2 words=$3 said status
  shift 3
  checks=$((checks + 1))
  GLYPHMILL_PRINTER_OPTIONS="$options" "$root/scripts/with-printer" "$root/scripts/wine-run" "$exe" "$@" \
    --baud 115200 --quiet </dev/null >/dev/null 2>"$work/said"
  status=$?
  said=$(tr -d '\r' <"$work/said" | grep -av '^with-printer:')
  [ "$status" = "$code" ] || fail "glyphmill.exe $* with the printer's $options: exit $status, not $code ($said)"
  [ -z "$words" ] || grep -aqF -- "$words" <<<"$said" || fail "glyphmill.exe $*: said '$said', not '$words'"
}

exchange "--save sent.bin" 0 "" send image.bin --port COM1
cmp -s image.bin sent.bin || fail "the printer did not get the image byte for byte"
exchange "--serve image.bin" 0 "" read back.bin --port COM1
cmp -s image.bin back.bin || fail "the image read back differs"
exchange "--serve image.bin" 0 "" verify image.bin --port COM1
exchange "--wrong 5:4" 3 "page fault: the printer asked for a page a fourth time (page 5)" send image.bin --port COM1
exchange "--silent-after 10" 6 "no answer from the printer within 0.3 s (page 11)" send image.bin --timeout 0.3 --port COM1
exchange "" 8 "no such port: COM9" send image.bin --port COM9
echo "transfers under Wine: $((checks + 2 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
