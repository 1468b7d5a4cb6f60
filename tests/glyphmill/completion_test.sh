#!/usr/bin/env bash
# glyphmill's bash completion against the built program: the commands (and
# nothing of the help's footer), and the values of --charset, --format,
# --raw, --baud and --port.
# bash-completion's own helpers are stood in for: only glyphmill's part is tested.
#   completion_test.sh COMPLETION GLYPHMILL
set -uo pipefail
_init_completion() {
  cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]} words=("${COMP_WORDS[@]}") cword=$COMP_CWORD
}
_filedir() { COMPREPLY=(); }
source "$1"
glyphmill=$2
failed=0
# expect "WORDS ON THE LINE" "what the completions must hold" ["what they must not hold"]
expect() {
  read -ra COMP_WORDS <<<"$1 ''"
  COMP_WORDS[-1]=""
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _glyphmill "$glyphmill" "" "${COMP_WORDS[-2]}"
  local got=" ${COMPREPLY[*]} " word
  for word in $2; do [[ $got == *" $word "* ]] || { echo "FAIL: '$1' does not offer $word:$got"; failed=1; }; done
  for word in ${3-}; do [[ $got != *" $word "* ]] || { echo "FAIL: '$1' offers $word:$got"; failed=1; }; done
}
expect "glyphmill" "new import send verify --help" "Run Subcommands:"
expect "glyphmill import x.bin f.ttf --charset" "cp1252 cp437 iso8859-15 raw"
expect "glyphmill send x.bin --baud" "2400 9600 115200"
expect "glyphmill export x.bin --font 0 -o y.bdf --charset" "cp1252 raw"
expect "glyphmill export x.bin --font 0 -o y --format" "bdf psf hex" "cp1252"
expect "glyphmill import x.bin f.rom --raw" "8x8 8x14 8x16"
ports=$("$glyphmill" ports 2>/dev/null | cut -f1 | tr '\n' ' ')
expect "glyphmill read x.bin --port" "$ports"
exit $failed
