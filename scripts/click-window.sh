#!/usr/bin/env bash
# click-window.sh PROGRAM CONFIG_HOME CONTROL... [-- PATH...]: under a virtual X display, starts
# the window of PROGRAM with only HOME=/nonexistent and XDG_CONFIG_HOME=CONFIG_HOME in its
# environment and the PATHs listed, clicks each CONTROL (horizontal, vertical, multirow, autocut,
# packed, trimeach, datatab, datafile, compose, end) with the mouse as a user would, or for "type=TEXT"
# types TEXT and Return into the chooser that opened last, and waits for the window to end. Its
# exit status is the program's; the program's standard error is this script's.
# scripts/test-package.sh runs it as an unprivileged user.
set -euo pipefail

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$0" "$@"
fi
program=$1
config=$2
shift 2
controls=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do
    controls+=("$1")
    shift
done
[ $# -gt 0 ] && shift

# Each control's point in the window's own units (the template's controls of
# src/ui/UDialogTemplate_C.cpp at its top left, in a window that opens 640 x 260 units large,
# WMosaro_C::WindowUnits): the buttons' middles, and for the radio buttons and the check box a
# point on their indicator; the first row of the options panel's page (the packed layout, or the
# data file's check box on its page) and that page's tab. The window scales every control with
# its font, so these stay where they are at any font size.
declare -A units=([horizontal]="19 23" [vertical]="19 33" [multirow]="19 43" [autocut]="19 12"
    [compose]="46 121" [end]="46 168" [packed]="222 47" [trimeach]="222 63" [datatab]="336 14"
    [datafile]="222 47")

# The file chooser that the last click opened: the program's one other window large enough.
find_chooser() {
    local id
    for _ in $(seq 50); do
        for id in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
            [ "$id" != "$window" ] || continue
            if [ "$(xdotool getwindowgeometry --shell "$id" | sed -n 's/^WIDTH=//p')" -gt 300 ]; then
                echo "$id"
                return
            fi
        done
        sleep 0.2
    done
    echo "click-window: no chooser opened" >&2
    return 1
}

env -i HOME=/nonexistent XDG_CONFIG_HOME="$config" DISPLAY="$DISPLAY" \
    XAUTHORITY="${XAUTHORITY:-}" "$program" "$@" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$pid" | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$window")"
# The window takes clicks once it has drawn itself; the first draw follows the map shortly.
sleep 1.5
for control in "${controls[@]}"; do
    if [[ $control == type=* ]]; then
        # Without a window manager the chooser takes keys only once given the focus.
        chooser=$(find_chooser)
        xdotool windowfocus --sync "$chooser"
        xdotool type --delay 20 "${control#type=}"
        sleep 0.3
        xdotool key Return
    else
        read -r x y <<<"${units[$control]}"
        xdotool mousemove --window "$window" $((WIDTH * x / 640)) $((HEIGHT * y / 260)) click 1
    fi
    # What a click starts (a page, a chooser, a compose) settles before the next click.
    sleep 1
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
