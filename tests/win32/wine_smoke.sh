#!/usr/bin/env bash
# wine_smoke.sh: Dorvik.exe starts under Wine (Windows XP), shows its
# dialog with the full title, writes and announces the log with "Run w/Log",
# also from a temporary directory with a long path, and ends with exit code
# 0 on "Exit".
#
# Usage: wine_smoke.sh BUILD_DIR [SCREENSHOT.png]
# BUILD_DIR holds Dorvik.exe and dorvik_driver.exe; with a second argument the
# dialog is saved there as a picture after the run.
set -euo pipefail

build=$(cd "$1" && pwd)
screenshot=${2:-}
if [ -n "$screenshot" ]; then
  mkdir -p "$(dirname "$screenshot")"
  screenshot="$(cd "$(dirname "$screenshot")" && pwd)/$(basename "$screenshot")"
fi
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/win32/wine_env.sh
source "$here/wine_env.sh"

TITLE=' Show Korvane Device Drivers Status (Dorvik.exe v5.01.015)'
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# expect_line OUTPUT LINE: OUTPUT holds LINE exactly, as one whole line.
expect_line() {
  grep -qxF -- "$2" <<<"$1" || fail "expected the line \"$2\""
}

drive() {
  wine "$build/dorvik_driver.exe" "$@"
}

start_dorvik() {
  mkdir -p "$WINEPREFIX/drive_c/Dorvik"
  cp "$build/Dorvik.exe" "$WINEPREFIX/drive_c/Dorvik/Dorvik.exe"
  # Libraries are also searched in the Unix current directory.
  cd "$WINEPREFIX/drive_c/Dorvik"
  wine 'C:\Dorvik\Dorvik.exe' &
  dorvik_pid=$!
}

# Ends Dorvik with its "Exit" button and checks the exit code.
exit_dorvik() {
  local out rc=0
  out=$(drive wait-window "$TITLE" 20 press 3005 wait-gone) || fail "driver: $out"
  wait "$dorvik_pid" || rc=$?
  [ "$rc" -eq 0 ] || fail "exit code $rc after Exit, expected 0"
}

# Performs "Run w/Log" and checks the information box and the log against
# the list; $1 is the Windows path that the log must have.
run_with_log() {
  local log_path=$1 out log_file
  out=$(drive wait-window "$TITLE" 20 title press 3004 msgbox dismiss list icons) ||
    fail "driver: $out"
  expect_line "$out" "title: $TITLE"
  expect_line "$out" "msgbox-caption: Dorvik Information"
  expect_line "$out" "msgbox-text: Log File written to:"
  expect_line "$out" "msgbox-text: $log_path"

  log_file=$(unix_path "$log_path")
  if [ ! -f "$log_file" ]; then
    fail "no log at $log_file"
    return
  fi
  # The log holds exactly the list's lines, each ended by CR LF.
  local list_lines log_lines
  list_lines=$(sed -n 's/^list: //p' <<<"$out")
  log_lines=$(sed 's/\r$//' "$log_file")
  [ "$list_lines" = "$log_lines" ] || fail "the log differs from the list"
  [ "$(grep -c $'\r$' "$log_file")" = "$(wc -l <"$log_file")" ] || fail "a log line lacks CR LF"
  expect_line "$out" "list: $(sed 's/^ //' <<<"$TITLE")"
  [ "$(grep -c '^icon: ' <<<"$out")" = 13 ] || fail "expected 13 status icons"
  if grep -q '^icon: .* enabled none$' <<<"$out"; then fail "an enabled icon shows no image"; fi
  echo "$out" >"$WINEPREFIX/driver-output.txt"
}

start_xvfb

echo "-- the dialog, Run w/Log and Exit on Windows XP"
new_prefix smoke
start_dorvik
run_with_log 'C:\Temp\Dorvik.txt'
if [ -n "$screenshot" ]; then
  rect=$(drive wait-window "$TITLE" rect | sed -n 's/^rect: //p')
  read -r x y w h <<<"$rect"
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$screenshot"
  echo "screenshot: $screenshot"
fi
exit_dorvik
remove_prefix

echo "-- a temporary directory whose path is longer than 128 characters"
new_prefix long-temp
long_dir='C:\Temp\A directory name long enough to push the temporary path\past the one hundred and twenty eight characters of old\Dorvik'
set_prefix_temp "$long_dir" >/dev/null
start_dorvik
run_with_log "$long_dir\\Dorvik.txt"
exit_dorvik
remove_prefix

if [ "$failures" -ne 0 ]; then
  echo "wine smoke test: $failures failure(s)" >&2
  exit 1
fi
echo "wine smoke test: passed"
