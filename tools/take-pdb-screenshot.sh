#!/usr/bin/env bash
# Takes docs/personal-database.png: the Personal Database dialog with a few records, opened
# through the View menu of the real program under Xvfb. The records come in through
# `ostravel contacts import`, as a user's would.
#   tools/take-pdb-screenshot.sh [PATH/TO/ostravel]     (default: build/default/ostravel)
# OSTRAVEL_START_WAIT and OSTRAVEL_DIALOG_WAIT (seconds) give a slow (sanitizer) build more
# time to show its windows. Needs xvfb, xdotool and ImageMagick's import.
set -euo pipefail
cd "$(dirname "$0")/.."
program=$(realpath "${1:-build/default/ostravel}")
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export XDG_CONFIG_HOME="$home/cfg" XDG_DATA_HOME="$home/data" OSTRAVEL_NO_SPLASH=1
mkdir -p "$XDG_CONFIG_HOME/ostravel/ostravel"
# A small main window, no design wizard at start.
cat > "$XDG_CONFIG_HOME/ostravel/ostravel/settings.reg" <<'REG'
[Software\Dravmont\Pelloran\WS]
"Left"="0"
"Top"="0"
"Right"="900"
"Bottom"="640"
"Maximized"="0"
[Software\Dravmont\Pelloran\Ostravel\Options\General]
"PromptOnDelete"=dword:00000001
"SelectReturn"=dword:00000001
"MetricUnits"=dword:00000000
"ReduceColor"=dword:00000001
"ShowDesignWizard"=dword:00000000
REG
printf '%s\r\n' \
  '"Margit","Halvorsen","Fjordline Tours","Sales Manager","Strandgata 14|5013 Bergen","","+47 55 31 20 00","","margit@fjordline.example","","","",""' \
  '"Tomas","Aguilar","Aguilar & Hijos","Owner","Calle Mayor 7|28013 Madrid","","+34 91 555 0142","","tomas@aguilar.example","","","",""' \
  '"Dana","Whitcombe","Blue Heron Press","Editor","88 Water Street|Portland, ME 04101","PO Box 12|Portland, ME 04112","(207) 555-0199","(207) 555-0198","dana@blueheron.example","Met at the book fair","","",""' \
  '"Kenji","Oda","Oda Ceramics","","3-2-1 Nishiki|Kyoto","","+81 75 555 0110","","kenji@oda.example","","","",""' \
  '"Priya","Raman","Raman Design Studio","Art Director","12 Brigade Road|Bengaluru 560001","","+91 80 5555 0134","","priya@raman.example","","","",""' \
  > "$home/contacts.csv"
QT_QPA_PLATFORM=offscreen "$program" contacts import "$home/contacts.csv" >/dev/null
xvfb-run -a -s "-screen 0 1000x700x24" bash -c '
"$0" & pid=$!
sleep ${OSTRAVEL_START_WAIT:-8}
# The Personal Database button of the main toolbar.
xdotool mousemove 346 35 click 1; sleep ${OSTRAVEL_DIALOG_WAIT:-4}
win=$(xdotool search --name "^Personal Database" | tail -1)
xdotool windowmove "$win" 10 10; sleep 1
xdotool windowfocus "$win"; sleep 1
# From the filter box, Down goes into the list; two more show the third contact.
xdotool key Down; sleep 1; xdotool key Down; sleep 1; xdotool key Down; sleep 2
import -window "$win" docs/personal-database.png
kill $pid' "$program"
