#!/usr/bin/env bash
# A developer's tool, not run by ctest: starts the real program several times
# on a virtual 1440 × 900 screen with a window manager (openbox, so windows
# have title bars as on a desktop) and keeps a screenshot of each window that
# must look right:
#
#   01 a save dialog in German            02 a text field's context menu in German
#   03 the "Daten" page on the first run  04 the preference window after Esc
#   05 the help window (F1)               06 the PDF preview of the print sheet
#   07a the new year sheet, 07 the item list after Esc on it
#   08 the item sheet in edit mode (help open), 09 after Esc
#   10 "Allgemein" with several users
#   11–33 every window the toolbar and the menus reach, over books with three
#         statements, a cash book, a depreciation, an inventory item and an
#         attached document: main window with the document panels, reports
#         (and a report's preview), year overview, cash book, depreciation,
#         inventory, CSV import, search, DATEV export, VAT return, print and
#         export sheets, the seven preference pages, About and the handbook
#
#   tools/window_walk.sh [OUT_DIR]        (default /tmp/shots-windows)
#   WALK=menus tools/window_walk.sh …     (only 11–33)
#
# Needs Xvfb, openbox, xdotool and ImageMagick's import (apt-get install xvfb
# openbox xdotool imagemagick) and a build in ./build.
set -u

ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=${1:-/tmp/shots-windows}
BIN=${BIN:-$ROOT/build/app/quandor}
CLI=${CLI:-$ROOT/build/src/cli/quandor-cli}
SCREEN=${SCREEN:-:96}
WORK=$(mktemp -d /tmp/quandor-windows.XXXXXX)
mkdir -p "$OUT"

Xvfb "$SCREEN" -screen 0 1440x900x24 -nolisten tcp >/dev/null 2>&1 &
XVFB=$!
sleep 1
export DISPLAY=$SCREEN
openbox >/dev/null 2>&1 &
WM=$!
APP=
trap 'kill $APP 2>/dev/null; sleep 0.5; kill $WM $XVFB 2>/dev/null; rm -rf "$WORK"; true' EXIT
sleep 0.5

keys() { xdotool key --delay 150 "$@"; sleep 0.6; }
shot() { sleep 0.7; import -window root "$OUT/$1.png"; echo "$OUT/$1.png"; }
# The window that has the focus now, without the rest of the screen.
shotw() {
  sleep "${2:-1}"
  import -window "$(xdotool getactivewindow)" "$OUT/$1.png"
  echo "$OUT/$1.png"
}
# Clicks at a point given relative to the main window's inner top-left
# corner, then waits (1 s or $3); rclick opens the context menu there.
click() {
  xdotool mousemove $((MX + $1)) $((MY + $2)) click 1
  sleep "${3:-1}"
}
rclick() {
  xdotool mousemove $((MX + $1)) $((MY + $2)) click 3
  sleep 1
}
doubleclick() { xdotool mousemove $((MX + $1)) $((MY + $2)) click --repeat 2 --delay 80 1; sleep 1.2; }

# start NAME SETTINGS [DATABASE]: a fresh home, settings and (optionally) database.
start() {
  local dir=$WORK/$1
  mkdir -p "$dir/home"
  printf '%b' "$2" > "$dir/settings.ini"
  [ -n "${3:-}" ] && cp "$3" "$dir/Quandor.db"
  HOME=$dir/home QT_QPA_PLATFORM=xcb "$BIN" --settings "$dir/settings.ini" \
      --db "$dir/Quandor.db" --locale de_DE >"$dir/app.log" 2>&1 &
  APP=$!
  sleep 4
  findMain
}
# The inner top-left corner of the window named like $1 (xdotool's own
# geometry counts the window manager's title bar twice), as X and Y.
corner() {
  local id info
  id=$(xdotool search --name "$1" | tail -1)
  info=$(xwininfo -id "$id")
  X=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  Y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
}
findMain() {
  corner '^Quandor$'
  MX=$X
  MY=$Y
}
stop() {
  kill $APP 2>/dev/null
  wait $APP 2>/dev/null
  APP=
}

KNOWN='[General]\nveryFirstAlertDone=true\n5StartEver=true\nprefsAlwaysShowWelcomeSheet=true\nfirstStepsDone=true\nfirstYearSet=true\nfirstListSet=true\nfirstItemSet=true\nprefsAlwaysShowItemHelpDawer=true\n'
SAMPLE=$WORK/sample.mdb
"$CLI" --settings "$WORK/cli.ini" generate --items 40 --out "$SAMPLE" >/dev/null

# Places in the main window (inner coordinates).
YEAR_ROW="49 135"
STATEMENT_ROW="49 347"
PRINT="360 662"
SEARCH="892 105"
NEW_YEAR="130 54"
FIRST_ITEM="409 152"
PREVIEW="613 368"   # the print sheet's "Vorschau", centred over the window

WALK=${WALK:-all}
if [ "$WALK" = all ]; then
# 1, 2: Qt's own texts in German.
start german "$KNOWN" "$SAMPLE"
keys alt+a Down Down Right Return   # Ablage → Quandor Daten → Datenbank exportieren …
shot 01-save-dialog
keys Escape
click $SEARCH
xdotool type --delay 40 "Porto"
sleep 0.5
rclick $SEARCH
shot 02-context-menu
keys Escape
stop

# 3, 4: the first run's Daten page; Esc closes the preference window.
start first '[General]\nveryFirstAlertDone=true\n'
keys Escape                    # the welcome sheet
keys ctrl+comma
corner '^Einstellungen'
xdotool mousemove $((X + 318)) $((Y + 30)) click 1   # "Daten" in its toolbar
sleep 1
shot 03-daten-first-run
keys Escape
shot 04-preferences-after-escape
stop

# 5, 6, 7: help, the PDF preview, Esc on a new year.
start windows "$KNOWN" "$SAMPLE"
click $YEAR_ROW
click $STATEMENT_ROW
keys F1
shot 05-help
keys F1
click $PRINT 2
click $PREVIEW 3
shot 06-pdf-preview
keys Escape
sleep 0.5
xdotool search --name 'Übersicht drucken' windowactivate --sync 2>/dev/null
keys Escape
click $FIRST_ITEM
click $NEW_YEAR
shot 07a-new-year-sheet
keys Escape
shot 07-after-escape-on-new-year

# 8, 9: edit an item, change its title, Esc.
doubleclick $FIRST_ITEM
keys alt+b ctrl+a
xdotool type --delay 40 "Geändert"
shot 08-item-sheet-edit
keys Escape
shot 09-after-escape-in-edit
stop

# 10: several users; the first user is made from the settings and chosen at start.
dir=$WORK/users
mkdir -p "$dir/home"
printf '[General]\nveryFirstAlertDone=true\n5StartEver=true\nprefsAlwaysShowWelcomeSheet=true\nprefsCompany=Muster Design\nprefsTaxID=21/815/08150\nprefsUseMultipleAccounts=true\n' \
    > "$dir/settings.ini"
HOME=$dir/home QT_QPA_PLATFORM=xcb "$BIN" --settings "$dir/settings.ini" --locale de_DE \
    >"$dir/app.log" 2>&1 &
APP=$!
sleep 4
keys Return                    # the user-selection window: the first user
sleep 1
keys ctrl+comma
shot 10-allgemein-several-users
stop
fi

# 11–33: the windows behind the toolbar and the menus.
BOOKS=$WORK/books.mdb
C=("$CLI" --settings "$WORK/cli.ini" --db "$BOOKS" --now 2026-04-02T10:00:00)
"${C[@]}" generate --items 40 --out "$BOOKS" >/dev/null
for m in Februar März; do "${C[@]}" statement add --year 2026 "$m" >/dev/null; done
"${C[@]}" item add --year 2026 --statement Februar --kind income --amount 2380 --vat --rate 1 \
    --title "Rechnung Webdesign" --date 2026-02-10 --account-number 4400 >/dev/null
"${C[@]}" item add --year 2026 --statement Februar --kind expense --amount 1190 --vat --rate 1 \
    --title "Notebook" --date 2026-02-14 --account-number 6815 >/dev/null
"${C[@]}" item add --year 2026 --statement März --kind income --amount 1070 --vat --rate 2 \
    --title "Lektorat" --date 2026-03-03 --account-number 4300 >/dev/null
"${C[@]}" cashbook add --year 2026 --carry 250,00 --text Übertrag >/dev/null
"${C[@]}" cashbook deposit --cashbook 2026 --amount 100 --text Einlage >/dev/null
"${C[@]}" allowance add --year 2026 --statement Februar --item 2 --years 3 --yes >/dev/null 2>&1
"${C[@]}" inventory add --title Schreibtisch --brutto 595 --netto 500 --date 2026-02-01 >/dev/null
mkdir -p "$WORK/Dokumente"
"${C[@]}" settings set prefsDocPath "$WORK/Dokumente/" >/dev/null
"${C[@]}" export summary --year 2026 --statement Februar --out "$WORK/Rechnung-Webdesign.pdf" >/dev/null
"${C[@]}" attach --year 2026 --statement Februar --item 1 "$WORK/Rechnung-Webdesign.pdf" >/dev/null
BOOKED="${KNOWN}prefsCompany=Muster Design\nprefsTaxID=21/815/08150\nprefsDatevBeraterNummer=1001\nprefsDatevMandantenNummer=4711\nisFirstAllowanceSetupDone=true\ngeduld=true\nprefsDocPath=$WORK/Dokumente/\n"

start menus "$BOOKED" "$BOOKS"
click $YEAR_ROW
click 49 $(( ${STATEMENT_ROW#* } + 24 ))   # Februar
click $FIRST_ITEM
shotw 11-hauptfenster-belege
keys ctrl+j
shotw 12-berichte
keys alt+1                     # "Umsatz"
sleep 3
shotw 12b-berichte-umsatz
keys alt+f Return              # focus on "Format:", Return presses "Vorschau"
shotw 12c-berichte-vorschau 3
keys Escape
keys Escape
keys ctrl+shift+u
shotw 13-uebersicht 2
keys Escape
keys ctrl+k
shotw 14-kassenbuch
keys Escape
keys alt+f Down Down Down Down Return   # Fenster → Abschreibungen und GWGs …
shotw 15-abschreibungen
keys Escape
keys alt+f Down Down Down Down Down Return   # Fenster → Inventar …
shotw 16-inventar
keys Escape
keys ctrl+shift+i              # Ablage → Posten importieren → Aus CSV-Datei …
shotw 17a-import-hinweis
keys Return
shotw 17-import
keys Escape
keys ctrl+shift+f
xdotool type --delay 40 "Miete"
shotw 18-suche
keys Escape
keys alt+a Down Down Down Down Down Down Return   # Ablage → DATEV-Export der Abrechnung …
shotw 19-datev-export
keys Escape
keys ctrl+u
shotw 20-voranmeldung
keys Escape
keys ctrl+p
shotw 21-drucken
keys Escape
keys ctrl+shift+e
shotw 22-exportieren 3
keys Escape
keys ctrl+comma
corner '^Einstellungen'
n=23
for x in 40 121 192 257 318 382 444; do   # the seven pages in the window's toolbar
  xdotool mousemove $((X + x)) $((Y + 30)) click 1
  sleep 1
  shotw $n-einstellungen-$x 0.5
  n=$((n + 1))
done
keys Escape
keys alt+h Up Return           # Hilfe → Über Quandor
shotw 30-ueber
keys Escape
keys shift+F1
shotw 31-handbuch 2
stop
