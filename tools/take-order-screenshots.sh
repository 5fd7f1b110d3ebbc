#!/usr/bin/env bash
# Takes the order wizard's screenshots in docs/ from the real program under Xvfb, against
# the demo shop (tools/vendor/shop_server.py) on free loopback ports:
#   docs/order-welcome.png   docs/order-progress.png  docs/order-message.png
#   docs/order-products.png  docs/order-billing.png   docs/order-shipping.png
#   docs/order-summary.png   docs/order-help.png      docs/order-submitted.png
# Needs xvfb, xdotool, ImageMagick's import and python3-pyftpdlib.
# BUILD names the build folder (default build/default).
set -euo pipefail
cd "$(dirname "$0")/.."
export BUILD=${BUILD:-build/default}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME_DIR="$home" XDG_CONFIG_HOME="$home/cfg" XDG_DATA_HOME="$home/data" OSTRAVEL_NO_SPLASH=1
mkdir -p "$XDG_CONFIG_HOME/ostravel/ostravel" "$XDG_DATA_HOME/ostravel/ostravel"
cat > "$XDG_CONFIG_HOME/ostravel/ostravel/settings.reg" <<'REG'
[Software\Dravmont\Pelloran\WS]
"Left"="0"
"Top"="0"
"Right"="1000"
"Bottom"="700"
"Maximized"="0"
REG

xvfb-run -a -s "-screen 0 1000x700x24" bash -c '
set -e
/usr/bin/python3 tools/vendor/shop_server.py --root "$HOME_DIR/shop" --http-port 0 --ftp-port 0 \
    --catalogue tools/vendor/demo-catalogue.json --message tools/vendor/demo-message.rtf \
    --vendor "$BUILD/tools/vendor/ostravel-vendor" > "$HOME_DIR/shop.out" 2> "$HOME_DIR/shop.err" &
shop=$!
for i in $(seq 100); do grep -q ready "$HOME_DIR/shop.out" && break; sleep 0.2; done
http=$(awk "/^http/{print \$3}" "$HOME_DIR/shop.out")
# The shop address, and the customer details a returning customer finds filled in.
cat > "$XDG_DATA_HOME/ostravel/ostravel/owiz.ini" <<INI
[Vendor]
BaseAddress=http://127.0.0.1:$http/
[Customer]
Name=Mara Lindqvist
Addr1=Kvarngatan 12
City=Uppsala
State=UP
Zip=75320
Country=Sweden
DayPhone=+46 31 555 0142
Email=mara@example.org
ShipName=Mara Lindqvist
ShipAddr1=Kvarngatan 12
ShipCity=Uppsala
ShipState=UP
ShipZip=75320
ShipCountry=Sweden
INI

"$BUILD/ostravel" docs/showcase.bcp & pid=$!
sleep 15
xdotool mousemove 35 8 click 1; sleep 2              # File
xdotool mousemove 160 165 click 1; sleep 4           # Order Professionally Printed Copies...
wiz=$(xdotool search --name "^Order Wizard$" | head -1)
eval "$(xdotool getwindowgeometry --shell "$wiz")"
import -window "$wiz" docs/order-welcome.png
xdotool key alt+n; sleep 0.6
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage docs/order-progress.png
sleep 6
import -window "$wiz" docs/order-message.png
xdotool key alt+n; sleep 1
xdotool mousemove --window "$wiz" 138 59 click 1; xdotool type 250          # quantity
xdotool mousemove --window "$wiz" 48 237 click 1; sleep 1                   # Glossy coating
import -window "$wiz" docs/order-products.png
xdotool key alt+n; sleep 1
xdotool mousemove --window "$wiz" 37 384 click 1                            # Visa
xdotool mousemove --window "$wiz" 450 356 click 1; xdotool type "4111 1111 1111 1111"
xdotool mousemove --window "$wiz" 328 384 click 1; xdotool type "08/28"; sleep 1
import -window "$wiz" docs/order-billing.png
xdotool key alt+n; sleep 1
xdotool mousemove --window "$wiz" 300 350 click 1; xdotool type "Please use the blue envelope stock."; sleep 1
import -window "$wiz" docs/order-shipping.png
xdotool key alt+n; sleep 1
import -window "$wiz" docs/order-summary.png
xdotool key alt+h; sleep 2
help=$(xdotool search --name "^Help$" | head -1)
import -window "$help" docs/order-help.png
xdotool key Return; sleep 1
xdotool mousemove --window "$wiz" 319 499 click 1; sleep 6          # Submit Order
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage docs/order-submitted.png
xdotool key Return; sleep 2
ls "$HOME_DIR/shop/ftp/orders" >&2
kill $pid || true
kill $shop || true
'
