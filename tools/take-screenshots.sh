#!/usr/bin/env bash
# Takes the screenshots in docs/ with the program built by ./run.sh, under Xvfb:
#   docs/main-window.png      the main window with docs/showcase.bcp open
#   docs/text-properties.png  the same design with a text selected and the property
#                             editor on its Text Properties page
# Needs xvfb, xdotool and ImageMagick's import.
set -euo pipefail
cd "$(dirname "$0")/.."
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export XDG_CONFIG_HOME="$home/cfg" XDG_DATA_HOME="$home/data" OSTRAVEL_NO_SPLASH=1
mkdir -p "$XDG_CONFIG_HOME/ostravel/ostravel"
# A window that fills the virtual screen.
cat > "$XDG_CONFIG_HOME/ostravel/ostravel/settings.reg" <<'REG'
[Software\Dravmont\Pelloran\WS]
"Left"="0"
"Top"="0"
"Right"="1000"
"Bottom"="640"
"Maximized"="0"
REG
xvfb-run -a -s "-screen 0 1000x640x24" bash -c '
build/default/ostravel docs/showcase.bcp & pid=$!
sleep 5
import -window root docs/main-window.png
xdotool mousemove 330 128 click 1; sleep 1
xdotool mousemove 719 121 click 1; sleep 1
xdotool mousemove 5 630; sleep 1
import -window root docs/text-properties.png
kill $pid'
