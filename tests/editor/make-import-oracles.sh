#!/bin/sh
# What glyphmill import makes of one image for each case of the editor's
# "Import font file..." test, which must make the same bytes:
#   make-import-oracles.sh FOLDER GLYPHMILL
# The BDF is pcf2bdf's reading of a misc-fixed PCF.
set -eu
out=$1 tool=$2
dejavu=/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf
misc=/usr/share/fonts/X11/misc
mkdir -p "$out"
rm -f "$out"/*.bin
"$tool" new "$out/base.bin" >/dev/null
"$tool" import "$out/base.bin" /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf --add --size 10 >/dev/null
gunzip -c "$misc/9x15.pcf.gz" >"$out/9x15.pcf"
pcf2bdf -o "$out/9x15.bdf" "$out/9x15.pcf"

oracle() {
  name=$1
  shift
  cp "$out/base.bin" "$out/$name.bin"
  "$tool" import "$out/$name.bin" "$@" >/dev/null
}
oracle truetype-into "$dejavu" --font 0 --size 12 --height 2
oracle truetype-new "$dejavu" --add --monospace --height 4 --charset cp437
oracle bdf-new "$out/9x15.bdf" --add --charset iso8859-1
oracle pcf-into "$misc/6x13.pcf.gz" --font 0 --height 1
