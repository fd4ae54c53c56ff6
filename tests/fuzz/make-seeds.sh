#!/usr/bin/env bash
# Writes the profile fuzzer's seed corpus from the machine profiles: for each
# profile, its last registry file and its machine.toml (importing that file
# as "registry.reg"), in the byte layout that profile_fuzzer.cpp decodes: the
# registry file with every backslash doubled, a backslash and a line feed,
# the machine.toml text, and a last byte whose low bit chooses the whole
# profile (1) or the registry file alone (0).
set -euo pipefail
cd "$(dirname "$0")/../.."
out=tests/fuzz/corpus/profile
rm -rf "$out"
mkdir -p "$out"

for toml in machines/*/machine.toml; do
  dir=$(dirname "$toml")
  name=$(basename "$dir")
  # The last file of `import = [...]`, relative to the profile's folder.
  reg=$(sed -n 's/^import = \[\(.*\)\]/\1/p' "$toml" | tr ',' '\n' | tail -1 | tr -d ' "')
  {
    if [ -n "$reg" ]; then sed 's/\\/\\\\/g' "$dir/$reg"; fi
    printf '\\\n'
    sed 's/^import = \[.*\]/import = ["registry.reg"]/' "$toml"
    printf '\001'
  } >"$out/$name"
  case "$reg" in
    "" | ../*) ;;  # none, or another profile's file: seeded there already
    *) { sed 's/\\/\\\\/g' "$dir/$reg"; printf '\\\n\000'; } >"$out/$name-reg" ;;
  esac
done
