#!/usr/bin/env bash
# Runs platform_demo on the SDL back end under Xvfb, drives it with xdotool and
# takes a screenshot of the X screen. Arguments: DEMO OUTPUT_FOLDER. Run it through
# xvfb-run. Writes OUTPUT_FOLDER/screen.png and OUTPUT_FOLDER/second_copy_exit.
set -u
demo=$1
out=$2
export XDG_RUNTIME_DIR=$out
"$demo" --zoom 1 > "$out/demo.log" 2>&1 &
pid=$!
window=$(xdotool search --sync --onlyvisible --name "Platform demo" | head -1)
sleep 0.5
xdotool windowmove --sync "$window" 0 0
sleep 0.3
# A tap on the colour box (blue to red), then F2 opens the dialog and Enter closes it.
xdotool mousemove --window "$window" 80 120 click 1
sleep 0.3
xdotool key --window "$window" F2
sleep 0.3
xdotool key --window "$window" Return
sleep 0.3
xdotool type --window "$window" "ok"
sleep 0.3
# A second copy hands its command line over and ends.
timeout 10 "$demo" from-second-copy
echo $? > "$out/second_copy_exit"
sleep 0.5
import -window root "PNG24:$out/screen.png"
kill "$pid"
wait "$pid" 2>/dev/null
exit 0
