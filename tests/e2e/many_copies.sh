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

windows_build=$(cd "$1" && pwd)
native_build=$(cd "$2" && pwd)
profile=$(cd "$3/winxp-complete" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/win32/wine_env.sh
source "$here/../win32/wine_env.sh"
# shellcheck source=tests/e2e/provision.sh
source "$here/provision.sh"
DORVIK_PROVISION="$native_build/tools/dorvik-provision/dorvik-provision"

work="$DORVIK_WINE_ROOT/work-copies.$$"
TITLE=' Show Korvane Device Drivers Status (Dorvik.exe v5.01.015)'
REFUSAL_CAPTION='Dorvik.exe Error Information'
REFUSAL_TEXT='Only one instance of this program allowed!'
COPIES=20
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

cleanup() {
  cd /
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
  [ -n "${WINEPREFIX:-}" ] && rm -rf "$WINEPREFIX"
  rm -rf "$work"
  stop_xvfb
}

drive() {
  local name=$1
  shift
  TZ=$DORVIK_TZ wine "$windows_build/dorvik_driver.exe" "$@" >"$work/$name" ||
    fail "driver ($name): $(grep '^error: ' "$work/$name")"
}
values() { sed -n "s/^$2: //p" "$work/$1"; }

start_xvfb
trap cleanup EXIT  # after start_xvfb, whose own trap it replaces
mkdir -p "$work"
provision_machine "$profile" "$work" || {
  echo "FAIL: provisioning winxp-complete"
  exit 1
}
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

if [ "$failures" -ne 0 ]; then
  echo "many copies: $failures failure(s)"
  exit 1
fi
echo "many copies: passed"
