#!/usr/bin/env bash
# fleet.sh: dorvik-support fleet on a site of 10,000 logs: time and peak memory.
#
# Usage: bash bench/fleet.sh [LOGS]   (default 10000)
# Builds the release tools, then writes the logs of a made-up site: every
# profile of machines/ and variants of each (one driver file of another
# size, another date, or missing), each run through dorvik-sim --log, some
# with LF line ends as a mail program leaves them, spread over folders of
# 100 machines each. Then runs the fleet over 1/10 of the site and over all
# of it, several samples each, and prints the wall time and the peak
# resident memory of each. Memory that grows by a row per machine and no
# more shows as a small difference between the two sizes. Nothing passes or
# fails on a figure. The site is kept in DORVIK_BENCH_DIR (default
# /tmp/dorvik-bench) for the next run.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
logs=${1:-10000}
bench_dir=${DORVIK_BENCH_DIR:-/tmp/dorvik-bench}/fleet
samples=3

echo "== release build of dorvik-sim and dorvik-support"
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target dorvik-sim dorvik-support >/dev/null
sim=$root/build/release/tools/dorvik-sim/dorvik-sim
support=$root/build/release/tools/dorvik-support/dorvik-support

# The distinct logs: each profile, then one variant per driver file it
# holds (at most six), that file changed in the way of the variant's number.
make_logs() {
  local profiles=$bench_dir/profiles distinct=$bench_dir/distinct
  rm -rf "$profiles" "$distinct"
  mkdir -p "$profiles" "$distinct"
  cp -r machines/. "$profiles/"
  for profile in machines/*/; do
    name=$(basename "$profile")
    [ -f "$profile/machine.toml" ] || continue
    files=$(grep -c '^\[\[file\]\]' "$profile/machine.toml" || true)
    for ((k = 1; k <= files && k <= 6; k++)); do
      variant=$profiles/$name-v$k
      cp -r "$profile" "$variant"
      awk -v k="$k" '
        /^\[\[file\]\]/ { n++ }
        n == k && k % 3 == 1 && /^size = / { $3 = $3 + 1 }
        n == k && k % 3 == 2 && /^modified = / { sub(/T..:/, "T23:") ; sub(/-..T/, "-27T") }
        n == k && k % 3 == 0 && /^path = / { sub(/\.[^.]*'"'"'$/, ".old'"'"'") }
        { print }' "$profile/machine.toml" >"$variant/machine.toml"
    done
  done
  for profile in "$profiles"/*/; do
    name=$(basename "$profile")
    "$sim" "$profile" --log "$distinct/$name.log" >/dev/null 2>&1 || rm -f "$distinct/$name.log"
  done
  echo "$(find "$distinct" -name '*.log' | wc -l) distinct logs"
}

# The site: LOGS files in folders of 100, every third with LF line ends.
make_site() {
  python3 - "$bench_dir/distinct" "$bench_dir/site" "$logs" <<'EOF'
import os, shutil, sys
distinct, site, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
sources = sorted(os.path.join(distinct, f) for f in os.listdir(distinct))
texts = [open(s, "rb").read() for s in sources]
shutil.rmtree(site, ignore_errors=True)
for i in range(count):
    folder = os.path.join(site, "building-%02d" % (i // 1000), "room-%02d" % (i // 100 % 10))
    os.makedirs(folder, exist_ok=True)
    text = texts[i % len(texts)]
    if i % 3 == 0:
        text = text.replace(b"\r\n", b"\n")
    with open(os.path.join(folder, "pc-%05d.log" % i), "wb") as f:
        f.write(text)
EOF
}

echo "== the site: $logs logs in $bench_dir/site"
make_logs
make_site

measure() {
  local what=$1 dir=$2
  for ((s = 1; s <= samples; s++)); do
    # The fleet's exit status tells of the machines (1: some ERR), not of the run.
    { /usr/bin/time -f "$what: %e s wall, %U s user + %S s system, peak %M KiB" "$support" \
      fleet "$dir" --csv "$bench_dir/fleet.csv" --html "$bench_dir/fleet.html" >/dev/null \
      || true; } 2>&1 | grep -v '^Command exited'
  done
}
echo "== fleet, $samples samples each (machine: $(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg))"
measure "$(find "$bench_dir/site/building-00" -type f | wc -l) logs" "$bench_dir/site/building-00"
measure "$logs logs" "$bench_dir/site"
echo "rows written: $(($(wc -l <"$bench_dir/fleet.csv") - 1)) (CSV), HTML $(du -h "$bench_dir/fleet.html" | cut -f1)"
