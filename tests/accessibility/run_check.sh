#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Starts the desktop program against the sample engines in a private X display
# and D-Bus session with the accessibility bus, and reads its accessibility
# tree with check_tree.py.
#
#   run_check.sh QUESTREL SAMPLE_ENGINES
set -euo pipefail
program=$(realpath "$1")
engines=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$tmp"' EXIT
mkdir -p "$tmp/data/questrel" "$tmp/config/questrel" "$tmp/cache"
"$engines" --catalogue "$tmp/data/questrel/engines.dat" >"$tmp/port" &
for _ in $(seq 100); do [ -s "$tmp/port" ] && break; sleep 0.05; done
# An engine whose address is gone (the server answers 404), for a failed outcome.
printf 'Sample Retired\r\n<li><a href="http\r\n</a>\r\nhttp://127.0.0.1:%s/retired\r\n1\r\n?n=%%d&q=\r\n\r\n' \
  "$(cat "$tmp/port")" >>"$tmp/data/questrel/engines.dat"
printf '[Settings]\nConnect Method=1\nCriteria=red apple\nMax Hits=6\nShow Hints=0\nSample Multi=1\nSample Retired=1\n' \
  >"$tmp/config/questrel/questrel.ini"
export XDG_DATA_HOME="$tmp/data" XDG_CONFIG_HOME="$tmp/config" XDG_CACHE_HOME="$tmp/cache"
export NO_AT_BRIDGE=0 GTK_A11Y=atk
# The system's python, where python3-pyatspi lives.
xvfb-run -a -s "-screen 0 1100x700x24" dbus-run-session -- bash -c '
  "$1" & pid=$!
  /usr/bin/python3 "$2"; rc=$?
  kill $pid 2>/dev/null; wait $pid 2>/dev/null
  exit $rc' _ "$program" "$here/check_tree.py" 2> >(grep -v -e "dbus-daemon" -e "SpiRegistry" >&2)
