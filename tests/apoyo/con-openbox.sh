#!/usr/bin/env bash
# Runs a test program on a real X server with a window manager (Xvfb and openbox), where windows
# are activated and message boxes take the focus as on a person's desktop.
set -euo pipefail
if [ -z "${LORUM_EN_XVFB:-}" ]; then
  export LORUM_EN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
export QT_QPA_PLATFORM=xcb
# The session bus library keeps one allocation for the life of the process.
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")" && pwd)/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
trap 'kill $wm 2>/dev/null || true' EXIT
# The window manager owns the screen before the program maps its first window.
for _ in $(seq 1 50); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
"$@"
