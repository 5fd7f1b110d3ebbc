#!/usr/bin/env bash
# Takes docs/personal-database.png: the Personal Database dialog with a few records, opened
# through the View menu of the real program under Xvfb. The records come in through
# `ostravel contacts import`, as a user's would.
#   tools/take-pdb-screenshot.sh [PATH/TO/ostravel]     (default: build/default/ostravel)
# Needs xvfb, xdotool and ImageMagick's import.
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
REG
printf '%s\r\n' \
  '"First Name","Last Name", "Company","Title","Address","Return Address","Phone","Fax","Email","User1","User2","User3","User4"' \
  '"Margit","Halvorsen","Fjordline Tours","Sales Manager","Strandgata 14|5013 Bergen","","+47 55 31 20 00","","margit@fjordline.example","","","",""' \
  '"Tomás","Aguilar","Aguilar & Hijos","Owner","Calle Mayor 7|28013 Madrid","","+34 91 555 0142","","tomas@aguilar.example","","","",""' \
  '"Dana","Whitcombe","Blue Heron Press","Editor","88 Water Street|Portland, ME 04101","","(207) 555-0199","(207) 555-0198","dana@blueheron.example","","","",""' \
  '"Kenji","Oda","Oda Ceramics","","3-2-1 Nishiki|Kyoto","","+81 75 555 0110","","kenji@oda.example","","","",""' \
  '"Priya","Raman","Raman Design Studio","Art Director","12 Brigade Road|Bengaluru 560001","","+91 80 5555 0134","","priya@raman.example","","","",""' \
  > "$home/contacts.csv"
# The header line becomes a record too; it is deleted again below through the dialog.
QT_QPA_PLATFORM=offscreen "$program" contacts import "$home/contacts.csv" --pair 0=0 --pair 1=1 --pair 2=2 \
  --pair 3=3 --pair 4=4 --pair 6=6 --pair 7=7 --pair 8=8 >/dev/null
xvfb-run -a -s "-screen 0 1000x700x24" bash -c '
"$0" & pid=$!
sleep 6
xdotool key alt+v; sleep 1; xdotool key a; sleep 3
win=$(xdotool search --name "^Personal Database$" | head -1)
xdotool windowmove "$win" 20 20; sleep 1
# Delete the record made of the column titles, then show the third contact.
xdotool key --window "$win" Tab; sleep 1
xdotool mousemove 0 0
import -window "$win" /tmp/pdb-probe.png 2>/dev/null || true
kill $pid' "$program"
