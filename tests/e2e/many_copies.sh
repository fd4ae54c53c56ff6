#!/usr/bin/env bash
# many_copies.sh: twenty copies of Dorvik.exe started at once under Wine, on
# the provisioned default machine (winxp-complete): exactly one shows the
# dialog; the other nineteen each show "Only one instance of this program
# allowed!" in a box titled "Dorvik.exe Error Information" and end with exit
# code -1 (255 as Wine hands it on); the one left ends with exit code 0 on
# "Exit".
#
# Usage: many_copies.sh WINDOWS_BUILD_DIR NATIVE_BUILD_DIR MACHINES_DIR
set -uo pipefail

# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh" "$1" "$2" copies
profile=$(cd "$3/winxp-complete" && pwd)

REFUSAL_CAPTION='Dorvik.exe Error Information'
REFUSAL_TEXT='Only one instance of this program allowed!'
COPIES=20

begin_session "$profile"
cp "$windows_build/Dorvik.exe" "$DORVIK_PROGRAM_UNIX"
cd "$WINEPREFIX" || exit 1

echo "-- $COPIES copies started at once"
pids=()
for _ in $(seq "$COPIES"); do
  TZ=$DORVIK_TZ wine "$DORVIK_PROGRAM" &
  pids+=($!)
done

# Every copy has passed start-up once nineteen refusals are up.
drive started wait-count "$REFUSAL_CAPTION" $((COPIES - 1)) 120 wait-count "$TITLE" 1 30 \
  sleep 1000 count-windows "$REFUSAL_CAPTION" count-windows "$TITLE"
[ "$(values started window-count | tail -n2 | tr '\n' ' ')" = "$((COPIES - 1)) 1 " ] ||
  fail "after start-up: $(values started window-count | tail -n2 | tr '\n' ' ')windows (refusals, dialogs), expected $((COPIES - 1)) and 1"

drive dismissed dismiss-all "$REFUSAL_CAPTION" 30 count-windows "$TITLE"
[ "$(values dismissed msgbox-text | sort | uniq -c | sed 's/^ *//')" = "$((COPIES - 1)) $REFUSAL_TEXT" ] ||
  fail "the refusals do not all say \"$REFUSAL_TEXT\": $(values dismissed msgbox-text | sort | uniq -c)"
[ "$(values dismissed window-count)" = 1 ] || fail "the dialog did not outlast the refusals"

# The refused copies end once their box is dismissed; the dialog on Exit.
drive exit wait-window "$TITLE" press 3005 wait-gone
codes=()
for pid in "${pids[@]}"; do
  rc=0
  wait "$pid" || rc=$?
  codes+=("$rc")
done
summary=$(printf '%s\n' "${codes[@]}" | sort | uniq -c | sed 's/^ *//' | tr '\n' ',')
[ "$summary" = "1 0,$((COPIES - 1)) 255," ] ||
  fail "exit codes (count code): $summary expected one 0 and $((COPIES - 1)) times 255"

end_session "many copies"
