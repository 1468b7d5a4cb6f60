#!/bin/sh
# What glyphmill import makes of one image for each case of the editor's
# "Import font file..." test, which must make the same bytes:
#   make-import-oracles.sh FOLDER GLYPHMILL
# The BDF is pcf2bdf's reading of a misc-fixed PCF; the .hex is Unifont's
# Latin-1 lines, the raw dumps are cut out of console fonts (one of them after
# 3 other bytes), the sheet is glyphmill's grid of a font, and cut.psf is a
# console font cut short.
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
consolefonts=/usr/share/consolefonts
grep -E '^00[0-9A-F]{2}:' /usr/share/unifont/unifont.hex >"$out/latin1.hex"
zcat "$consolefonts/Lat15-Terminus16.psf.gz" | tail -c +5 | head -c 4096 >"$out/terminus.f16"
{ printf 'ROM'; zcat "$consolefonts/Lat15-Terminus14.psf.gz" | tail -c +5 | head -c 3584; } >"$out/terminus14.rom"
zcat "$consolefonts/Lat15-Terminus16.psf.gz" | head -c 1000 >"$out/cut.psf"
"$tool" sheet "$out/base.bin" --grid --font 1 -o "$out/sheet.png"

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
oracle psf-new "$consolefonts/Lat15-Terminus16.psf.gz" --add --charset cp437
oracle hex-into "$out/latin1.hex" --font 0 --height 2 --charset iso8859-1
oracle raw-new "$out/terminus.f16" --add --raw 8x16 --charset cp437
oracle raw-typed "$out/terminus14.rom" --add --raw 8x14 --offset 3
oracle sheet-into "$out/sheet.png" --font 0 --monospace
