#!/usr/bin/env bash
# Runs a command on a virtual X server of its own and exits with its code.
# Xvfb picks a free display number itself (-displayfd), so tests started at
# the same moment never end up on one server; xvfb-run -a can hand the same
# number to two of them, and the one whose server goes first loses its
# display in the middle of a run.
# Usage: on_xvfb.sh [-s "SERVER ARGUMENTS"] COMMAND [ARGUMENTS...]
set -u
server_args="-screen 0 1024x768x24"
if [ "${1:-}" = -s ]; then
    server_args=$2
    shift 2
fi
dir=$(mktemp -d "${TMPDIR:-/tmp}/pellora-xvfb.XXXXXX")
trap 'rm -rf "$dir"' EXIT
mkfifo "$dir/display"
# shellcheck disable=SC2086 # the server arguments are words
Xvfb -displayfd 3 -nolisten tcp $server_args 3>"$dir/display" 2>"$dir/log" &
server=$!
display=""
read -r -t 30 display <"$dir/display"
if [ -z "$display" ]; then
    echo "on_xvfb: Xvfb did not start:" >&2
    cat "$dir/log" >&2
    kill "$server" 2>/dev/null
    exit 1
fi
export DISPLAY=":$display"
"$@"
code=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
exit $code
