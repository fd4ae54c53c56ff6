# shellcheck shell=bash
# session.sh: what every Wine test script shares, sourced at its start.
#
#   source "$(dirname "$0")/session.sh" WINDOWS_BUILD_DIR NATIVE_BUILD_DIR NAME
#
# Gives the script: windows_build, native_build and here (this folder); the
# prefix tools of wine_env.sh and provision.sh; a work folder $work of its
# own; the dialog's TITLE; fail (counts a failure); drive NAME STEPS... (runs
# the dialog driver into $work/NAME) and values NAME KEY; begin_session
# [PROFILE] (Xvfb, clean-up at exit, and with a profile its provisioned
# prefix) and end_session LABEL (the verdict and the exit status). A script
# with more to undo defines session_cleanup, which runs once the wineserver
# is gone and before the prefix is removed.

windows_build=$(cd "$1" && pwd)
native_build=$(cd "$2" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tests/win32/wine_env.sh
source "$here/../win32/wine_env.sh"
# shellcheck source=tests/e2e/provision.sh
source "$here/provision.sh"
DORVIK_PROVISION="$native_build/tools/dorvik-provision/dorvik-provision"

work="$DORVIK_WINE_ROOT/work-$3.$$"
# shellcheck disable=SC2034  # used by the scripts that source this file
TITLE=' Show Korvane Device Drivers Status (Dorvik.exe v5.01.015)'
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

# drive NAME STEPS...: runs the dialog driver; its output goes to $work/NAME.
drive() {
  local name=$1
  shift
  TZ=$DORVIK_TZ wine "$windows_build/dorvik_driver.exe" "$@" >"$work/$name" ||
    fail "driver ($name): $(grep '^error: ' "$work/$name")"
}

# values NAME KEY: the values of the driver's "KEY: value" lines in NAME.
values() { sed -n "s/^$2: //p" "$work/$1"; }

# begin_session [PROFILE]: Xvfb and the clean-up; with a profile, also the
# work folder and a prefix provisioned from it (a failure ends the script).
begin_session() {
  start_xvfb
  trap cleanup EXIT  # after start_xvfb, whose own trap it replaces
  [ $# -eq 0 ] && return 0
  mkdir -p "$work"
  provision_machine "$1" "$work" || {
    echo "FAIL: provisioning $(basename "$1")"
    exit 1
  }
}

end_session() {
  if [ "$failures" -ne 0 ]; then
    echo "$1: $failures failure(s)"
    exit 1
  fi
  echo "$1: passed"
}
