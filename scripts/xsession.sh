#!/usr/bin/env bash
# Runs a command on a private virtual X display (Xvfb) with a tray host, as a
# desktop session would offer it, and tears both down afterwards.
#   xsession.sh [--no-tray] COMMAND [ARGS…]
set -uo pipefail

tray=1
if [ "${1:-}" = "--no-tray" ]; then tray=0; shift; fi

work=$(mktemp -d /tmp/korvel-x.XXXXXX)
chmod 700 "$work"
cleanup() {
  [ -n "${trayer_pid:-}" ] && kill "$trayer_pid" 2>/dev/null
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number to fd 3.
Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1280x800x24 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 1 200); do [ -s "$work/display" ] && break; sleep 0.05; done
if [ ! -s "$work/display" ]; then echo "xsession: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; fi
export DISPLAY=":$(head -n1 "$work/display")"
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="$work"

if [ "$tray" = 1 ]; then
  trayer --edge bottom --align right --widthtype pixel --width 200 --height 32 >/dev/null 2>&1 &
  trayer_pid=$!
  for _ in $(seq 1 200); do xdotool search --classname trayer >/dev/null 2>&1 && break; sleep 0.05; done
fi

"$@"
