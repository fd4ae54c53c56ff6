#!/usr/bin/env bash
# many_copies.sh: twenty copies of Dorvik.exe started at once under Wine, on
# the provisioned default machine: exactly one shows the dialog; the other
# nineteen each show the second-copy refusal and end with exit code -1 (255
# as Wine hands it on); the one left ends with exit code 0 on "Exit".
#
# Usage: many_copies.sh WINDOWS_BUILD_DIR NATIVE_BUILD_DIR PROFILE_DIR
set -uo pipefail

# shellcheck source=tests/e2e/session.sh
source "$(dirname "$0")/session.sh" "$1" "$2" copies
COPIES=20

begin_session "$3"
cp "$windows_build/Dorvik.exe" "$DORVIK_PROGRAM_UNIX"
cd "$WINEPREFIX" || exit 1

echo "-- $COPIES copies started at once"
pids=()
for _ in $(seq "$COPIES"); do
  TZ=$DORVIK_TZ wine "$DORVIK_PROGRAM" &
  pids+=($!)
done

# Every copy has passed start-up once nineteen refusals are up.
drive started wait-count "$DORVIK_REFUSAL_CAPTION" $((COPIES - 1)) 120 \
  wait-count "$DORVIK_TITLE" 1 30 sleep 1000 count-windows "$DORVIK_REFUSAL_CAPTION" \
  count-windows "$DORVIK_TITLE"
[ "$(values started window-count | tail -n2 | tr '\n' ' ')" = "$((COPIES - 1)) 1 " ] ||
  fail "after start-up: $(values started window-count | tail -n2 | tr '\n' ' ')windows (refusals, dialogs), expected $((COPIES - 1)) and 1"

drive dismissed dismiss-all "$DORVIK_REFUSAL_CAPTION" 30 count-windows "$DORVIK_TITLE"
[ "$(values dismissed msgbox-text | sort | uniq -c | sed 's/^ *//')" = "$((COPIES - 1)) $DORVIK_SECOND_COPY" ] ||
  fail "the refusals: $(values dismissed msgbox-text | sort | uniq -c)"
[ "$(values dismissed window-count)" = 1 ] || fail "the dialog did not outlast the refusals"

# The refused copies end once their box is dismissed; the dialog on Exit.
drive exit wait-window "$DORVIK_TITLE" press "$DORVIK_EXIT" wait-gone
codes=()  # waited for here: a subshell cannot wait for this shell's children
for pid in "${pids[@]}"; do
  rc=0
  wait "$pid" || rc=$?
  codes+=("$rc")
done
summary=$(printf '%s\n' "${codes[@]}" | sort | uniq -c | sed 's/^ *//' | tr '\n' ,)
[ "$summary" = "1 0,$((COPIES - 1)) 255," ] || fail "exit codes (count code): $summary"

end_session "many copies"
