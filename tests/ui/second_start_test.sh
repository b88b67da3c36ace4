#!/usr/bin/env bash
# A second start of the desktop program on the same data brings the running
# program forward and ends at once: no alert, nothing written to the shared
# settings, and the first program keeps running.
#
#   second_start_test.sh QUANDOR
set -u
BIN=$1
WORK=$(mktemp -d /tmp/quandor-second.XXXXXX)
# The first program saves into $WORK as it quits: the folder goes only after it
# has ended (a folder removed under it makes the save fail, and the alert
# about that would wait for a click forever).
finish() {
  kill "$FIRST" 2>/dev/null
  for _ in $(seq 100); do kill -0 "$FIRST" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$FIRST" 2>/dev/null
  rm -rf "$WORK"
}
FIRST=
trap finish EXIT
mkdir -p "$WORK/home"
export HOME=$WORK/home QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$WORK
printf '[General]\nveryFirstAlertDone=true\n5StartEver=true\nprefsAlwaysShowWelcomeSheet=true\n' > "$WORK/s.ini"

"$BIN" --settings "$WORK/s.ini" > "$WORK/first.log" 2>&1 &
FIRST=$!
for _ in $(seq 50); do
  [ -e "$HOME/.local/share/Quandor/Quandor.lock" ] && break
  sleep 0.1
done
sleep 1
cp "$WORK/s.ini" "$WORK/before.ini"

# An alert would wait for a click that never comes: the time limit catches it.
timeout 15 "$BIN" --settings "$WORK/s.ini" > "$WORK/second.log" 2>&1
code=$?
if [ $code -ne 0 ]; then echo "zweiter Start: exit $code"; cat "$WORK/second.log"; exit 1; fi
if ! cmp -s "$WORK/s.ini" "$WORK/before.ini"; then echo "zweiter Start hat die Einstellungen verändert"; exit 1; fi
if ! kill -0 $FIRST 2>/dev/null; then echo "der erste Start läuft nicht mehr"; exit 1; fi
echo "zweiter Start: das laufende Quandor wurde nach vorn geholt"
