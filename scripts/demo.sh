#!/usr/bin/env bash
# Dorvik's demo, from a fresh Debian 12 machine, as root or as an ordinary
# user: installs what is missing (with sudo when not root), builds Dorvik.exe,
# builds a machine profile (by default machines/winxp-complete: Windows XP
# with every driver installed) as a Wine prefix, and starts Dorvik on it
# under the profile's own program name.
#
# With a display ($DISPLAY set) Dorvik opens in a window there: press Run or
# Run w/Log yourself, and Exit to end. Without one it runs under a private
# Xvfb: the demo presses "Run w/Log", prints the log Dorvik wrote, saves a
# picture of the dialog to build/demo/PROFILE.png and presses "Exit". On a
# machine that start-up refuses, the demo shows (or prints) the refusal box.
# A machine that Wine cannot produce is named with the reasons, followed by
# its report as the simulator gives it; the demo then ends with status 77.
#
# Usage: bash scripts/demo.sh [--builds WINDOWS_BUILD NATIVE_BUILD] [--keep DIR] [PROFILE_DIR]
#   --builds  use these builds as they are: nothing installed or built
#   --keep    keep in DIR what the run saw, for the end-to-end tests: the
#             driver's output (driver.txt), the log (log.txt), Dorvik's exit
#             code (exit-code) and the provisioning's settings.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
windows_build=$root/build/windows native_build=$root/build/native keep=
while [ $# -gt 0 ]; do
  case $1 in
    --builds) windows_build=$(cd "$2" && pwd) native_build=$(cd "$3" && pwd); shift 3; built=yes ;;
    --keep) keep=$(mkdir -p "$2" && cd "$2" && pwd); shift 2 ;;
    *) break ;;
  esac
done
profile=$(cd "${1:-machines/winxp-complete}" && pwd)
name=$(basename "$profile")

if [ -z "${built:-}" ]; then
  bash scripts/install-deps.sh
  echo "== building Dorvik.exe and the provisioner"
  cmake --preset native >/dev/null
  cmake --build --preset native -j"$(nproc)" --target dorvik-provision dorvik-sim >/dev/null
  cmake --preset windows >/dev/null
  cmake --build --preset windows -j"$(nproc)" --target Dorvik dorvik_driver >/dev/null
fi

# shellcheck source=tools/dorvik-provision/wine/provision.sh
source tools/dorvik-provision/wine/provision.sh
DORVIK_PROVISION="$native_build/tools/dorvik-provision/dorvik-provision"
work="$DORVIK_WINE_ROOT/work-demo.$$"

cleanup() {
  cd /
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
  fi
  rm -rf "$work"
  stop_xvfb
}

interactive=${DISPLAY:+yes}
[ -n "$interactive" ] || start_xvfb
trap cleanup EXIT

echo "== provisioning $name as a Wine prefix (the first time: a Wine boot of about 10 s)"
rc=0
provision_machine "$profile" "$work" || rc=$?
if [ "$rc" -eq 77 ]; then
  echo "Wine cannot produce the machine $name:"
  sed 's/^cannot be produced under Wine: /  /' "$work/plan.txt"
  echo "== its report, as the simulator gives it"
  "$native_build/tools/dorvik-sim/dorvik-sim" "$profile" || true
  exit 77
fi
[ "$rc" -eq 0 ] || { echo "demo: $name cannot be provisioned" >&2; exit 1; }
[ -z "$keep" ] || cp "$work/settings.sh" "$keep/"

if [ -n "$interactive" ]; then
  # A window manager may place and move the dialog on a real desktop.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d Y /f >/dev/null 2>&1
  echo "== Dorvik runs on $DISPLAY as $DORVIK_PROGRAM: press Run or Run w/Log, then Exit"
  start_program "$windows_build/Dorvik.exe"
  rc=0
  wait "$program_pid" || rc=$?
  [ "$rc" != 255 ] || rc="-1 (255 as Wine hands it on)"
echo "Dorvik ended with exit code $rc"
  exit 0
fi

driver=${keep:-$work}/driver.txt
drive() {
  local rc=0
  TZ=$DORVIK_TZ wine "$windows_build/dorvik_driver.exe" "$@" >"$work/step" || rc=$?
  cat "$work/step" >>"$driver"
  [ "$rc" -eq 0 ] || { echo "demo: the dialog driver: $(grep '^error: ' "$work/step")" >&2; return 1; }
  cat "$work/step"
}
mkdir -p "$root/build/demo"
picture="$root/build/demo/$name.png"
echo "== Dorvik under Wine and Xvfb, as $DORVIK_PROGRAM"
start_program "$windows_build/Dorvik.exe"
refused=0
"$native_build/tools/dorvik-sim/dorvik-sim" "$profile" >/dev/null 2>&1 || refused=$?
if [ "$refused" = 255 ]; then
  # Start-up refuses the machine (the simulator knows): a box, no dialog.
  drive facts wait-msgbox "$DORVIK_REFUSAL_CAPTION" 20 msgbox-icon | sed -n 's/^msgbox-//p'
  import -window root "$picture"
  drive wait-msgbox "$DORVIK_REFUSAL_CAPTION" 5 dismiss >/dev/null
else
  drive wait-window "$DORVIK_TITLE" 20 facts local-time press "$DORVIK_RUN_WITH_LOG" msgbox \
    msgbox-icon dismiss local-time list icons | sed -n 's/^msgbox-text: //p'
  echo
  sed 's/\r$//' "$DORVIK_TEMP_UNIX/$DORVIK_LOG_NAME"
  [ -z "$keep" ] || cp "$DORVIK_TEMP_UNIX/$DORVIK_LOG_NAME" "$keep/log.txt"
  read -r x y w h <<<"$(drive wait-window "$DORVIK_TITLE" rect | sed -n 's/^rect: //p')"
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$picture"
  drive wait-window "$DORVIK_TITLE" press "$DORVIK_EXIT" wait-gone >/dev/null
fi
rc=0
wait "$program_pid" || rc=$?
[ -z "$keep" ] || echo "$rc" >"$keep/exit-code"
echo
echo "picture: $picture"
[ "$rc" != 255 ] || rc="-1 (255 as Wine hands it on)"
echo "Dorvik ended with exit code $rc"
