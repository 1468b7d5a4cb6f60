#!/usr/bin/env bash
# glyphmill.exe under Wine and the Linux glyphmill, given the same commands on
# the same files, write the same bytes and say the same: one engine on both
# systems. Fonts in: DejaVu Sans Mono (TrueType, and the WOFF2 and WOFF
# that woff2_compress and sfnt2woff make of it), Terminus Bold (PCF,
# gzip'ed) and its BDF as pcf2bdf writes it, a console font (PSF, gzip'ed),
# Unifont's Latin-1 lines (.hex), a raw dump cut out of the console font and
# a sheet glyphmill draws; out: images, BDF, PSF, .hex, PNG.
#   same_results.sh GLYPHMILL.EXE LINUX_GLYPHMILL
set -u
exe=$1 linux=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tests/e2e/e2e-common.sh"
echo "running $exe ($(file -b "$exe" | cut -d, -f1)) beside $linux"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/linux" "$work/windows"
export LANG=C.UTF-8  # Wine hands render's TEXT to the program in its ANSI code page, 1252 here

# The fonts lie in each system's working folder, so that both name them alike.
cp /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf /usr/share/fonts/X11/misc/ter-u16b_unicode.pcf.gz "$work/linux/"
zcat "$work/linux/ter-u16b_unicode.pcf.gz" | pcf2bdf -o "$work/linux/terminus.bdf" /dev/stdin
woff2_compress "$work/linux/DejaVuSansMono.ttf" >/dev/null 2>&1
sfnt2woff "$work/linux/DejaVuSansMono.ttf"
cp /usr/share/consolefonts/Lat15-Terminus16.psf.gz "$work/linux/"
grep -E '^00[0-9A-F]{2}:' /usr/share/unifont/unifont.hex >"$work/linux/latin1.hex"
zcat /usr/share/consolefonts/Lat15-Terminus16.psf.gz | tail -c +5 | head -c 4096 >"$work/linux/terminus.f16"
cp "$work/linux"/* "$work/windows/"

# both ARGS...: runs glyphmill with ARGS in each system's folder and compares
# what it says (stderr after stdout, line ends as Linux writes them) and its
# exit code.
checks=0
both() {
  checks=$((checks + 1))
  (cd "$work/linux" && "$linux" "$@" >out 2>err; echo "exit $?" >>err; cat out err) >"$work/linux.said"
  (cd "$work/windows" && "$root/scripts/wine-run" "$exe" "$@" >out 2>err </dev/null
   echo "exit $?" >>err; cat out err) | tr -d '\r' >"$work/windows.said"
  cmp -s "$work/linux.said" "$work/windows.said" || {
    fail "glyphmill $* says otherwise on Windows:"; diff "$work/linux.said" "$work/windows.said" | head -n 20; }
}

both new fonts.bin
both import fonts.bin DejaVuSansMono.ttf --add --size 12
both import fonts.bin ter-u16b_unicode.pcf.gz --add
both import fonts.bin terminus.bdf --add --height 3 --charset cp437 --name Term437
both import fonts.bin DejaVuSansMono.ttf --font 0 --size 20 --height 4 --charset iso8859-5
both new web.bin
both import web.bin DejaVuSansMono.woff2 --add --size 12
both import web.bin DejaVuSansMono.woff --add --size 12
both info fonts.bin
both info --json fonts.bin
both check fonts.bin
both resave fonts.bin again.bin
both export fonts.bin --font 1 -o terminus-out.bdf
both export fonts.bin --font 2 -o term437.bdf --charset cp437
both sheet fonts.bin -o sheet.png
both sheet fonts.bin --font 0 --scale 2 -o sheet0.png
both render fonts.bin --font 1 "déjà-vu, 20€" --scale 3 -o line.png
both render fonts.bin --font 2 "déjà" --charset cp437 -o line437.png
both rename fonts.bin --font 2 Term16b
both copy fonts.bin --font 1 copied.bin
both diff fonts.bin again.bin
both diff fonts.bin copied.bin
both glyph fonts.bin --font 1 --code A -o A.png
both glyph copied.bin --font 0 --code B --from A.png
both new bitmap.bin
both import bitmap.bin Lat15-Terminus16.psf.gz --add --charset cp437
both import bitmap.bin latin1.hex --add --charset iso8859-1
both import bitmap.bin terminus.f16 --add --raw 8x16
both sheet bitmap.bin --grid --font 1 -o grid.png
both import bitmap.bin grid.png --add --monospace
both export bitmap.bin --font 1 -o terminus.psf
both export bitmap.bin --font 2 --format hex -o latin1-out.txt
# What a user has is kept: a symbolic link leads to the file replaced, and a
# read-only file replaced with --force stays read-only.
for side in linux windows; do
  cp "$work/$side/fonts.bin" "$work/$side/target.bin"
  ln -s target.bin "$work/$side/link.bin"
  cp "$work/$side/fonts.bin" "$work/$side/read-only.bin"
  chmod 444 "$work/$side/read-only.bin"
done
both resave again.bin link.bin
both rename read-only.bin --font 0 Kept --force
for side in linux windows; do
  checks=$((checks + 1))
  [ -L "$work/$side/link.bin" ] && cmp -s "$work/$side/target.bin" "$work/$side/again.bin" ||
    fail "$side: the save through link.bin did not replace target.bin"
  checks=$((checks + 1))
  [ "$(stat -c %a "$work/$side/read-only.bin")" = 444 ] || fail "$side: read-only.bin is no longer read-only"
done
# glyphmill.exe refuses a read-only file without --force (the Linux one only
# where its user may not write it).
checks=$((checks + 1))
(cd "$work/windows" && "$root/scripts/wine-run" "$exe" resave fonts.bin read-only.bin >out 2>err </dev/null
 echo "exit $?" >>err)
grep -q "read-only.bin is read-only: left as it was" "$work/windows/err" && grep -qx "exit 14" "$work/windows/err" ||
  fail "glyphmill.exe replaced a read-only file: $(cat "$work/windows/err")"
# Refusals: the same words and exit codes.
both render fonts.bin --font 1 "Ω" -o omega.png
both import fonts.bin missing.ttf --add
both check again.bin --bogus
both import bitmap.bin terminus.f16 --add --raw 8x17
both import bitmap.bin grid.png --add --cell 10x16
# An image and a picture through standard input and output keep every byte
# (a text stream would make each byte 10 a 13 10, and end the input at a 26).
(cd "$work/linux" && "$linux" resave - - <fonts.bin >piped.bin && "$linux" sheet fonts.bin -o - >piped.png)
(cd "$work/windows" && "$root/scripts/wine-run" "$exe" resave - - <fonts.bin >piped.bin &&
 "$root/scripts/wine-run" "$exe" sheet fonts.bin -o - >piped.png </dev/null)
for file in fonts.bin web.bin again.bin copied.bin target.bin read-only.bin terminus-out.bdf term437.bdf sheet.png \
  sheet0.png line.png line437.png A.png piped.bin piped.png bitmap.bin grid.png terminus.psf latin1-out.txt; do
  checks=$((checks + 1))
  if [ ! -s "$work/linux/$file" ]; then
    fail "the Linux glyphmill wrote no $file"
  elif ! cmp -s "$work/linux/$file" "$work/windows/$file"; then
    fail "$file differs between Linux and Windows"
  fi
done
echo "same results: $((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
