#!/usr/bin/env bash
# click-window.sh PROGRAM CONFIG_HOME CONTROL...: under a virtual X display, starts the window of
# PROGRAM with only HOME=/nonexistent and XDG_CONFIG_HOME=CONFIG_HOME in its environment, clicks
# each CONTROL (horizontal, vertical, multirow, autocut, end) with the mouse as a user would, and
# waits for the window to end. Its exit status is the program's; the program's standard error
# is this script's. scripts/test-package.sh runs it as an unprivileged user.
set -euo pipefail

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$0" "$@"
fi
program=$1
config=$2
shift 2

# Each control's point in the window's own units (the template's controls of
# src/ui/UDialogTemplate_C.cpp at its top left, in a window that opens 640 x 260 units large,
# WMosaro_C::WindowUnits): the buttons' middles, and for the radio buttons and the check box a
# point on their indicator. The window scales every control with its font, so these stay where
# they are at any font size.
declare -A units=([horizontal]="19 23" [vertical]="19 33" [multirow]="19 43" [autocut]="19 12"
    [end]="46 168")

env -i HOME=/nonexistent XDG_CONFIG_HOME="$config" DISPLAY="$DISPLAY" \
    XAUTHORITY="${XAUTHORITY:-}" "$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$pid" | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$window")"
# The window takes clicks once it has drawn itself; the first draw follows the map shortly.
sleep 0.5
for control in "$@"; do
    read -r x y <<<"${units[$control]}"
    xdotool mousemove --window "$window" $((WIDTH * x / 640)) $((HEIGHT * y / 260)) click 1
    sleep 0.2
done

for _ in $(seq 300); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
status=0
kill -0 "$pid" 2>/dev/null && echo "click-window: the window did not end" >&2 && exit 124
wait "$pid" || status=$?
trap - EXIT
exit "$status"
