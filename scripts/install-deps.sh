#!/usr/bin/env bash
# Installs what Dorvik's build, demo and tests need on Debian 12, and only
# what is missing: dpkg is asked first, and apt-get runs (with sudo when the
# caller is not root, which is said before sudo asks) only for a package that
# is not installed yet. Safe to run again.
set -euo pipefail

packages=(
  cmake make g++ libgtest-dev libtomlplusplus-dev      # native core, simulator, unit tests
  clang libclang-rt-14-dev                             # fuzz targets (libFuzzer)
  g++-mingw-w64-i686-win32 binutils-mingw-w64-i686     # Dorvik.exe
  wine wine32:i386 xvfb x11-utils imagemagick          # running Dorvik.exe
  python3                                              # the prefix snapshots
  chromium                                             # dorvik-support's pages, headless
  mount util-linux e2fsprogs                           # full and read-only temporary directories
  locales                                              # Japanese and Russian machines under Wine
)
# Wine takes a machine's ANSI code page from the Unix locale of its processes:
# these are generated when missing (932 and 1251).
locales=(ja_JP.UTF-8 ru_RU.UTF-8)

add_i386=
dpkg --print-foreign-architectures | grep -qx i386 || add_i386=yes
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -qx 'install ok installed' ||
    missing+=("$package")
done
missing_locales=()
for name in "${locales[@]}"; do
  # locale -a names them without the dash and in lower case (ja_JP.utf8).
  locale -a 2>/dev/null | grep -qix "${name/UTF-8/utf8}" || missing_locales+=("$name")
done
[ -n "$add_i386" ] || [ ${#missing[@]} -gt 0 ] || [ ${#missing_locales[@]} -gt 0 ] || exit 0

needed=("${missing[@]}" "${missing_locales[@]}")
[ -z "$add_i386" ] || needed+=("the i386 architecture")
what="${needed[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || {
    echo "install-deps: missing ${what}; run this script as root" >&2
    exit 1
  }
  echo "install-deps: missing ${what}: installing with sudo (it may ask for your password)"
  as_root=(sudo)
fi
[ -z "$add_i386" ] || "${as_root[@]}" dpkg --add-architecture i386
if [ -n "$add_i386" ] || [ ${#missing[@]} -gt 0 ]; then
  "${as_root[@]}" apt-get update -qq
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi
# Listed in /etc/locale.gen, so that a later locale-gen keeps them.
for name in "${missing_locales[@]}"; do
  grep -qx "$name UTF-8" /etc/locale.gen 2>/dev/null ||
    echo "$name UTF-8" | "${as_root[@]}" tee -a /etc/locale.gen >/dev/null
done
[ ${#missing_locales[@]} -eq 0 ] || "${as_root[@]}" locale-gen >/dev/null
