# shellcheck shell=bash
# session.sh: what every Wine test script shares, sourced at its start.
#
#   source "$(dirname "$0")/session.sh" WINDOWS_BUILD_DIR NATIVE_BUILD_DIR NAME
#
# Gives the script: windows_build and here (this folder); the provisioning of
# tools/dorvik-provision/wine; a work folder $work of its own; fail (counts
# a failure); drive NAME STEPS... (the dialog driver, its output in
# $work/NAME); values NAME KEY; box NAME (the message box seen: caption, icon
# and text, as "dorvik-provision names" gives the program's); expect_exit
# WHAT CODE (the program's exit code); begin_session [PROFILE] (Xvfb, the
# clean-up at exit and, with a profile, its provisioned prefix, whose
# DORVIK_* settings name the program's title, buttons and messages); and
# end_session LABEL (the verdict). A script with more to undo defines
# session_cleanup, which runs once the wineserver is gone.

windows_build=$(cd "$1" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tools/dorvik-provision/wine/provision.sh
source "$here/../../tools/dorvik-provision/wine/provision.sh"
DORVIK_PROVISION="$(cd "$2" && pwd)/tools/dorvik-provision/dorvik-provision"
work="$DORVIK_WINE_ROOT/work-$3.$$"
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

cleanup() {
  cd /
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
  if declare -F session_cleanup >/dev/null; then session_cleanup; fi
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

box() {
  printf '%s\n%s\n%s' "$(values "$1" msgbox-caption)" "$(values "$1" msgbox-icon)" \
    "$(values "$1" msgbox-text)"
}

# Not in a subshell: only this shell can wait for the program. Wine hands the
# exit code on in 8 bits: -1 is 255.
expect_exit() {
  local rc=0
  wait "$program_pid" || rc=$?
  [ "$rc" = "$2" ] || fail "exit code $rc after $1, expected $2"
}

begin_session() {
  start_xvfb
  trap cleanup EXIT  # after start_xvfb, whose own trap it replaces
  mkdir -p "$work"
  [ $# -eq 0 ] && return 0
  local rc=0
  provision_machine "$1" "$work" || rc=$?
  [ "$rc" -ne 77 ] || { cat "$work/plan.txt"; exit 77; }
  [ "$rc" -eq 0 ] || { echo "FAIL: provisioning $(basename "$1")"; exit 1; }
}

end_session() {
  [ "$failures" -eq 0 ] || { echo "$1: $failures failure(s)"; exit 1; }
  echo "$1: passed"
}
