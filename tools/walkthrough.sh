#!/usr/bin/env bash
# A developer's tool, not run by ctest: walks through the real program on a
# virtual screen, from an empty database, through the sheets only, and keeps a
# screenshot of every step for looking at.
#
#   tools/walkthrough.sh [OUT_DIR]        (default /tmp/shots-walk)
#
# Needs Xvfb, xdotool and ImageMagick's import (apt-get install xvfb xdotool
# imagemagick) and a build in ./build. Creates a year, a statement and three
# items (expense 19 %, income 7 %, expense without VAT), shows the item sheet in
# add and edit mode, the calculator sheet, the VAT return window and the export
# sheet. The positions below are those of the main window at its first-start
# size and place (1100 × 680, centred on a 1440 × 900 screen).
set -eu

ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=${1:-/tmp/shots-walk}
BIN=${BIN:-$ROOT/build/app/quandor}
SCREEN=${SCREEN:-:97}
WORK=$(mktemp -d /tmp/quandor-walk.XXXXXX)
mkdir -p "$OUT" "$WORK/home"

# An empty database and settings that skip the first-start alerts.
printf '[General]\nveryFirstAlertDone=true\n5StartEver=true\n' > "$WORK/settings.ini"

Xvfb "$SCREEN" -screen 0 1440x900x24 -nolisten tcp >/dev/null 2>&1 &
XVFB=$!
sleep 1
export DISPLAY=$SCREEN
HOME=$WORK/home QT_QPA_PLATFORM=xcb "$BIN" --settings "$WORK/settings.ini" \
    --db "$WORK/Quandor.db" --locale de_DE >"$WORK/app.log" 2>&1 &
APP=$!
trap 'kill $APP 2>/dev/null; sleep 0.5; kill $XVFB 2>/dev/null; rm -rf "$WORK"; true' EXIT
sleep 4

# Main window's top-left corner on the screen.
MX=170
MY=110
click() { xdotool mousemove $((MX + $1)) $((MY + $2)) click 1; sleep "${3:-1}"; }
doubleclick() { xdotool mousemove $((MX + $1)) $((MY + $2)) click --repeat 2 --delay 80 1; sleep 1.2; }
keys() { xdotool key --delay 120 "$@"; sleep 0.5; }
typ() { xdotool type --delay 50 "$1"; sleep 0.3; }
shot() { sleep 0.5; import -window root "$OUT/$1.png"; echo "$OUT/$1.png"; }

# Toolbar and buttons of the main window (relative to its corner).
NEW_YEAR="130 51"
NEW_LIST="233 51"
NEW_ITEM="427 51"
VAT_RETURN="792 51"
EXPORT="455 659"
FIRST_ITEM_ROW="400 149"  # the guide above the list is gone once an item is there

# The welcome sheet.
keys Escape

# Year.
click $NEW_YEAR
typ "2026"
shot 01-year-sheet
keys Return

# Statement: "1. K" completes to "1. Kalendervierteljahr"; Return takes it.
click $NEW_LIST
typ "1. K"
shot 02-statement-sheet
keys Return

# Item 1: expense, 119,00 with 19 %.
click $NEW_ITEM
keys alt+a
typ "119,00"
keys alt+b
typ "Druckerpapier"
keys alt+u
keys Tab Down
shot 03-item-sheet-add
keys alt+b Return

# Item 2: income, 107,00 with 7 %.
click $NEW_ITEM
keys alt+e
typ "107,00"
keys alt+b
typ "Buchverkauf"
keys alt+u Tab Down Down
shot 04-item-sheet-add-income
keys alt+b Return

# Item 3: expense, 4,50 without VAT.
click $NEW_ITEM
keys alt+a
typ "4,50"
keys Return          # no title yet: the sheet refuses and says why
shot 05-item-sheet-refusal
keys Return
keys alt+b
typ "Porto"
keys Return
shot 06-main-window-three-items

# Edit mode on the first row, then the calculator: half of the amount.
doubleclick $FIRST_ITEM_ROW
shot 07-item-sheet-edit
keys alt+c
shot 08-split-sheet
keys Down
keys Return
shot 09-item-sheet-after-split
keys alt+b Return
shot 10-main-window-after-split

# The VAT return window, then the export sheet.
click $VAT_RETURN 2
shot 11-vat-return
keys Escape
click $EXPORT 3
shot 12-export-sheet
keys Escape
shot 13-main-window-end
