#!/usr/bin/env bash
# SIGTERM (the session ending, `kill`) ends the desktop program as quitting
# does: exit status 0, the database written, the data folder's lock released.
#
#   quit_signal_test.sh QUANDOR
set -u
BIN=$1
WORK=$(mktemp -d /tmp/quandor-signal.XXXXXX)
trap 'kill -9 $APP 2>/dev/null; rm -rf "$WORK"' EXIT
mkdir -p "$WORK/home" "$WORK/data"
export HOME=$WORK/home QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$WORK
printf '[General]\nveryFirstAlertDone=true\n5StartEver=true\nprefsAlwaysShowWelcomeSheet=true\n' > "$WORK/s.ini"

# No database yet: the program starts with empty books and writes them at quit.
"$BIN" --settings "$WORK/s.ini" --db "$WORK/data/books.mdb" > "$WORK/app.log" 2>&1 &
APP=$!
for _ in $(seq 100); do
  [ -e "$WORK/data/Quandor.lock" ] && break
  sleep 0.1
done
sleep 1
kill -TERM $APP
code=0
wait $APP || code=$?
if [ $code -ne 0 ]; then echo "nach SIGTERM: Exit-Status $code statt 0"; cat "$WORK/app.log"; exit 1; fi
if [ ! -s "$WORK/data/books.mdb" ]; then echo "nach SIGTERM wurde die Datenbank nicht gesichert"; exit 1; fi
if [ -e "$WORK/data/Quandor.lock" ]; then echo "nach SIGTERM liegt die Sperrdatei noch da"; exit 1; fi
echo "SIGTERM: gesichert und beendet"
