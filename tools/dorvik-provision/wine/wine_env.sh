# shellcheck shell=bash
# wine_env.sh: a display and Wine prefixes for running Dorvik.exe.
#
# Sourced by provision.sh. Provides:
#   start_xvfb               starts a private Xvfb on a free display, exports
#                            DISPLAY, and stops it when the shell exits
#   new_prefix NAME          a fresh 32-bit prefix copied from a cached template
#                            (built once, about 10 s), exported as WINEPREFIX
# Everything large lives below DORVIK_WINE_ROOT (default /tmp/dorvik-wine-USER:
# one for each user, since Wine refuses a prefix that another user owns),
# never in the source tree.

DORVIK_WINE_ROOT=${DORVIK_WINE_ROOT:-/tmp/dorvik-wine-$(id -un)}
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installers at boot

# The Windows temporary directory that every prefix starts with.
DORVIK_PREFIX_TEMP='C:\Temp'

_dorvik_xvfb_pid=

start_xvfb() {
  local fifo="$DORVIK_WINE_ROOT/xvfb.$$"
  mkdir -p "$DORVIK_WINE_ROOT"
  rm -f "$fifo"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  _dorvik_xvfb_pid=$!
  local display
  read -r -t 20 display <"$fifo" || { echo "Xvfb did not start" >&2; return 1; }
  rm -f "$fifo"
  export DISPLAY=":$display"
  trap stop_xvfb EXIT
}

stop_xvfb() {
  if [ -n "$_dorvik_xvfb_pid" ]; then
    kill "$_dorvik_xvfb_pid" 2>/dev/null || true
    wait "$_dorvik_xvfb_pid" 2>/dev/null || true
    _dorvik_xvfb_pid=
  fi
}

# Registry settings of every prefix: Windows XP, no window manager waits, no
# crash dialog that would hang a run, and a known temporary directory
# (GetTempPathA reads the user's environment from the registry, not the
# Unix TEMP variable).
_dorvik_template_settings() {
  wine reg add 'HKCU\Software\Wine' /v Version /d winxp /f
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
  wine reg add 'HKCU\Environment' /v TEMP /d "$DORVIK_PREFIX_TEMP" /f
  wine reg add 'HKCU\Environment' /v TMP /d "$DORVIK_PREFIX_TEMP" /f
}

_dorvik_template() {
  local template
  template="$DORVIK_WINE_ROOT/template-$(wine --version | tr -c 'A-Za-z0-9.\n-' _)"
  if [ ! -f "$template/.dorvik-ready" ]; then
    mkdir -p "$DORVIK_WINE_ROOT"
    (
      flock 9
      if [ ! -f "$template/.dorvik-ready" ]; then
        rm -rf "$template.tmp"
        WINEPREFIX="$template.tmp" wineboot -i >/dev/null 2>&1
        WINEPREFIX="$template.tmp" _dorvik_template_settings >/dev/null 2>&1
        # The registry files are written only when the server ends.
        WINEPREFIX="$template.tmp" wineserver -w
        mkdir -p "$template.tmp/drive_c/Temp"
        rm -rf "$template"
        mv "$template.tmp" "$template"
        touch "$template/.dorvik-ready"
      fi
    ) 9>"$DORVIK_WINE_ROOT/template.lock"
  fi
  echo "$template"
}

# The prefix shares the template's Windows system files (hard links: a full
# copy of its 590 MB takes over a second); every other file is a copy of its
# own, since Wine writes some of them in place. Whoever puts a file of its
# own into system32 removes the linked one first.
new_prefix() {
  local template
  template=$(_dorvik_template)
  export WINEPREFIX="$DORVIK_WINE_ROOT/prefix-$1.$$"
  rm -rf "$WINEPREFIX"
  cp -al "$template" "$WINEPREFIX"
  find "$WINEPREFIX" -type f -not -path "$WINEPREFIX/drive_c/windows/system32/*" \
    -not -path "$WINEPREFIX/drive_c/windows/winsxs/*" -exec sh -c \
    'for f; do cp -p "$f" "$f.copy" && mv "$f.copy" "$f"; done' _ {} +
}
