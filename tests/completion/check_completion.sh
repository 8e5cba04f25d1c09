#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The shipped bash completion offers engine names as plain text: a name that
# holds $(...), backticks or a glob is offered quoted and never run; a name
# with blanks still completes.
#
#   check_completion.sh COMPLETION_FILE QUESTREL_CLI
set -uo pipefail
completion=$(realpath "$1")
cli=$(realpath "$2")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"
mkdir bin
ln -s "$cli" bin/questrel-cli
export PATH="$tmp/bin:$PATH"

record() { # name
  printf '%s\r\n<a href="\r\n</a>\r\nhttp://e.example/\r\n1\r\n?q=\r\n\r\n' "$1"
}
{
  record 'Duck Duck'
  record 'Dune'
  record '$(touch ran-dollar)'
  record '`touch ran-backtick`'
  record 'D*'
  record 'Back\slash'
} >engines.dat
touch Decoy

# bash-completion's helper, reduced to what the function needs.
_init_completion() {
  words=("${COMP_WORDS[@]}"); cword=$COMP_CWORD
  cur=${words[cword]}; prev=${words[cword-1]}; was_split=""
}
_filedir() { :; }
# shellcheck source=/dev/null
source "$completion"

complete_line() { # words...; the last one is being completed
  COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMPREPLY=()
  _questrel_cli
  printf '%s\n' "${COMPREPLY[@]}"
}

failed=0
expect() { # what got expected
  if [ "$2" != "$3" ]; then echo "FAIL: $1: got [$2], expected [$3]"; failed=1; else echo "ok: $1"; fi
}

base=(questrel-cli --engines engines.dat search query)
expect "every name, none run" "$(complete_line "${base[@]}" '' | sort)" \
  "$(printf '%s\n' '$(touch ran-dollar)' '`touch ran-backtick`' 'D*' 'Duck Duck' 'Dune' 'Back\slash' |
     while IFS= read -r n; do printf '%q\n' "$n"; done | sort)"
expect "a name with a blank" "$(complete_line "${base[@]}" 'Duck')" 'Duck\ Duck'
expect "a typed escaped blank" "$(complete_line "${base[@]}" 'Duck\ D')" 'Duck\ Duck'
expect "a name with a backslash" "$(complete_line "${base[@]}" 'Back')" 'Back\\slash'
expect "a typed escaped backslash" "$(complete_line "${base[@]}" 'Back\\s')" 'Back\\slash'
expect "a glob is no pattern" "$(complete_line "${base[@]}" 'D*')" 'D\*'
expect "a dollar is no expansion" "$(complete_line "${base[@]}" '$(')" '\$\(touch\ ran-dollar\)'
for f in ran-dollar ran-backtick; do
  if [ -e "$f" ]; then echo "FAIL: a name was run as a command ($f)"; failed=1; fi
done
expect "commands" "$(complete_line questrel-cli 'se')" 'search'
exit $failed
