# shellcheck shell=bash
# provision.sh: a machine profile built as a Wine prefix, for Dorvik.exe.
#
# Sourced by the demo and the Wine tests; brings wine_env.sh (the display and
# the prefixes) with it. Provides:
#   provision_machine PROFILE WORK   a fresh prefix (new_prefix) made into the
#       profile's machine: dorvik-provision plans it into WORK (registry
#       import, files, settings.sh); this places the files (stand-ins and
#       version-resource files built once and cached), starts a persistent
#       wineserver, imports the registry and installs the UserPort service.
#       Returns 77 when Wine cannot produce the machine (the reasons are in
#       WORK/plan.txt). Leaves the settings in DORVIK_* variables: the
#       program's paths and time zone, and what the program shows there (its
#       title, button ids and messages: see "dorvik-provision names"). For a
#       machine whose ANSI code page is not the default one it exports LC_ALL
#       as the Unix locale that gives Wine's processes that code page.
#   start_program EXE                copies EXE to the profile's program path
#       and starts it under the profile's time zone; its pid is $program_pid.
# Needs DORVIK_PROVISION (the dorvik-provision tool).

DORVIK_PROVISION_WINE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tools/dorvik-provision/wine/wine_env.sh
source "$DORVIK_PROVISION_WINE/wine_env.sh"
DORVIK_STANDINS="$DORVIK_PROVISION_WINE/standins"
MINGW=i686-w64-mingw32

# Prints the cached file for a build recipe, building it first when needed.
# $1 names the recipe's kind; the rest are the recipe's inputs (files and
# words), which also make the cache key.
_cached_build() {
  local kind=$1
  shift
  local key
  key=$( {
    echo "$kind $*"
    for input in "$@"; do [ -f "$input" ] && cat "$input"; done
  } | sha256sum | cut -c1-32)
  local cache="$DORVIK_WINE_ROOT/build-cache"
  local out="$cache/$key.bin"
  if [ ! -f "$out" ]; then
    mkdir -p "$cache"
    local tmp
    tmp=$(mktemp -d "$cache/tmp.XXXXXX")
    "_build_$kind" "$tmp" "$@" >"$tmp/build.log" 2>&1 || {
      cat "$tmp/build.log" >&2
      rm -rf "$tmp"
      return 1
    }
    mv "$tmp/out.bin" "$out"
    rm -rf "$tmp"
  fi
  echo "$out"
}

# A resource-only PE file carrying the version resource of an .rc script.
_build_version_pe() {
  "$MINGW-windres" -F pe-i386 "$2" -o "$1/version.o"
  "$MINGW-ld" -m i386pe --dll -e 0 --file-alignment=512 -o "$1/out.bin" "$1/version.o"
}

# The TMEX stand-in: $2 an .rc script or -, $3 the answer defines, $4 with or
# without the TMGetTypeVersion export, or with an import from a library that
# no prefix has (missing-import: the library then does not load).
_build_tmex() {
  local def="$DORVIK_STANDINS/tmex_library.def" objects=()
  [ "$4" = without ] && def="$DORVIK_STANDINS/tmex_library_without_function.def"
  if [ "$4" = missing-import ]; then
    "$MINGW-dlltool" -d "$DORVIK_STANDINS/missing_library.def" -l "$1/libmissing.a"
    objects=(-DMISSING_IMPORT "$1/libmissing.a")
  fi
  if [ "$2" != - ]; then
    "$MINGW-windres" -F pe-i386 "$2" -o "$1/version.o"
    objects+=("$1/version.o")
  fi
  # shellcheck disable=SC2086  # the defines are separate words
  "$MINGW-gcc" -O2 -nostdlib -shared -Wl,-e,_DllMainCRTStartup@12 $3 \
    -o "$1/out.bin" "$DORVIK_STANDINS/tmex_library.c" "$def" "${objects[@]}"
}

_build_userport() {
  "$MINGW-gcc" -O2 -nostdlib -shared -Wl,--subsystem,native -Wl,-e,_DriverEntry@8 \
    -o "$1/out.bin" "$DORVIK_STANDINS/userport_driver.c"
}

# Places one file: CONTENT (a cached build, or - for zeros) at UNIX_PATH,
# padded to SIZE bytes (sparse), with the last-write time MTIME.
_place_file() {
  local content=$1 path=$2 size=$3 mtime=$4
  mkdir -p "$(dirname "$path")"
  rm -f "$path"  # it may be a link to the template's file
  if [ "$content" = - ]; then
    : >"$path"
  else
    cp "$content" "$path"
  fi
  if [ "$(stat -c %s "$path")" -gt "$size" ]; then
    echo "provision: $path: the stand-in is larger than $size bytes" >&2
    return 1
  fi
  truncate -s "$size" "$path"
  touch -d "@$mtime" "$path"
}

_place_files() {
  local kind path size mtime rc defines with_export content
  while IFS=$'\t' read -r kind path size mtime rc defines with_export; do
    case $kind in
      dir) mkdir -p "$path" && touch -d "@$mtime" "$path" ;;
      plain) _place_file - "$path" "$size" "$mtime" ;;
      pe) content=$(_cached_build version_pe "$rc") && _place_file "$content" "$path" "$size" "$mtime" ;;
      tmex) content=$(_cached_build tmex "$rc" "$defines" "$with_export" \
        "$DORVIK_STANDINS/tmex_library.c" "$DORVIK_STANDINS/missing_library.def") &&
        _place_file "$content" "$path" "$size" "$mtime" ;;
    esac || return 1
  done <"$1"
}

_install_userport() {
  local driver
  driver=$(_cached_build userport "$DORVIK_STANDINS/userport_driver.c") || return 1
  rm -f "$WINEPREFIX/drive_c/windows/system32/drivers/userport-standin.sys"
  cp "$driver" "$WINEPREFIX/drive_c/windows/system32/drivers/userport-standin.sys"
  wine sc create UserPort type= kernel start= demand \
    binpath= 'C:\windows\system32\drivers\userport-standin.sys' >/dev/null || return 1
  if [ "$DORVIK_USERPORT" = running ]; then wine sc start UserPort >/dev/null || return 1; fi
}

provision_machine() {
  local profile=$1 work=$2 rc=0
  mkdir -p "$work"
  new_prefix "$(basename "$profile")"
  "$DORVIK_PROVISION" plan "$profile" "$WINEPREFIX" "$work" >"$work/plan.txt" || rc=$?
  [ "$rc" -eq 0 ] || return "$rc"
  # shellcheck source=/dev/null
  source "$work/settings.sh"
  # Before the first Wine process of the prefix: Wine rewrites the user's
  # regional settings for a locale it has not run under before, and the
  # registry import that follows must have the last word.
  [ -z "$DORVIK_LOCALE" ] || export LC_ALL=$DORVIK_LOCALE
  _place_files "$work/files.tsv" || return 1
  mkdir -p "$DORVIK_TEMP_UNIX" "$(dirname "$DORVIK_PROGRAM_UNIX")"
  # Drives other than C: (a program on a floppy, a second disk): map them.
  local drive
  for drive in "$WINEPREFIX"/drive_?; do
    drive=${drive: -1}
    [ -e "$WINEPREFIX/dosdevices/$drive:" ] || ln -s "../drive_$drive" "$WINEPREFIX/dosdevices/$drive:"
  done
  # One server for the whole run: the registry import and the service stay
  # in force only while it lives.
  wineserver -p
  (cd "$work" && wine reg import machine.reg) >/dev/null 2>&1 || {
    echo "provision: the registry import failed" >&2
    return 1
  }
  if [ "$DORVIK_USERPORT" != absent ]; then _install_userport || return 1; fi
}

start_program() {
  cp "$1" "$DORVIK_PROGRAM_UNIX"
  # Libraries are also searched in the Unix current directory.
  cd "$WINEPREFIX" || return 1
  TZ=$DORVIK_TZ wine "$DORVIK_PROGRAM" &
  # shellcheck disable=SC2034  # the callers wait for it
  program_pid=$!
}
