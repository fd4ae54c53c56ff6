#!/usr/bin/env bash
# Dorvik's demo, from a fresh Debian 12 machine (as root): installs what is
# missing, builds Dorvik.exe, builds the default machine (machines/
# winxp-complete: Windows XP with every driver installed) as a Wine prefix,
# and starts Dorvik on it.
#
# With a display ($DISPLAY set) Dorvik opens in a window there: press Run or
# Run w/Log yourself, and Exit to end. Without one it runs under a private
# Xvfb: the demo presses "Run w/Log", prints the log Dorvik wrote, saves a
# picture of the dialog to build/demo/PROFILE.png and presses "Exit".
#
# Usage: bash scripts/demo.sh [PROFILE_DIR]   (default machines/winxp-complete)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
profile=$(cd "${1:-machines/winxp-complete}" && pwd)
name=$(basename "$profile")

bash scripts/install-deps.sh

echo "== building Dorvik.exe and the provisioner"
cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)" --target dorvik-provision >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$(nproc)" --target Dorvik dorvik_driver >/dev/null

# shellcheck source=tests/win32/wine_env.sh
source tests/win32/wine_env.sh
# shellcheck source=tests/e2e/provision.sh
source tests/e2e/provision.sh
DORVIK_PROVISION="$root/build/native/tools/dorvik-provision/dorvik-provision"
TITLE=' Show Korvane Device Drivers Status (Dorvik.exe v5.01.015)'
work="$DORVIK_WINE_ROOT/work-demo.$$"

cleanup() {
  cd /
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
  [ -n "${WINEPREFIX:-}" ] && rm -rf "$WINEPREFIX"
  rm -rf "$work"
  stop_xvfb
}

interactive=${DISPLAY:+yes}
[ -n "$interactive" ] || start_xvfb
trap cleanup EXIT

echo "== provisioning $name as a Wine prefix (the first time: a Wine boot of about 10 s)"
rc=0
provision_machine "$profile" "$work" || rc=$?
if [ "$rc" -ne 0 ]; then
  cat "$work/plan.txt" >&2
  echo "demo: $name cannot be provisioned" >&2
  exit 1
fi

if [ -n "$interactive" ]; then
  # A window manager may place and move the dialog on a real desktop.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d Y /f >/dev/null 2>&1
  echo "== Dorvik runs on $DISPLAY: press Run or Run w/Log, then Exit"
  start_program "$root/build/windows/Dorvik.exe"
  wait "$program_pid" || true
  exit 0
fi

echo "== Dorvik under Wine and Xvfb: Run w/Log"
start_program "$root/build/windows/Dorvik.exe"
drive() { TZ=$DORVIK_TZ wine "$root/build/windows/dorvik_driver.exe" "$@"; }
drive wait-window "$TITLE" 20 press 3004 msgbox dismiss | sed -n 's/^msgbox-text: //p'
echo
sed 's/\r$//' "$DORVIK_TEMP_UNIX/Dorvik.txt"
mkdir -p "$root/build/demo"
picture="$root/build/demo/$name.png"
read -r x y w h <<<"$(drive wait-window "$TITLE" rect | sed -n 's/^rect: //p')"
import -window root -crop "${w}x${h}+${x}+${y}" +repage "$picture"
echo
echo "picture of the dialog: $picture"
drive wait-window "$TITLE" press 3005 wait-gone >/dev/null
wait "$program_pid"
