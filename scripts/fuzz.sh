#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz/) and runs each one.
#   scripts/fuzz.sh short      a few seconds each (what scripts/test.sh runs)
#   scripts/fuzz.sh [SECONDS]  longer runs, 300 s each by default
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
case "${1:-300}" in
  short) secs=5 ;;
  *[!0-9]*) echo "usage: scripts/fuzz.sh [short|SECONDS]" >&2; exit 2 ;;
  *) secs=${1:-300} ;;
esac
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build-fuzz" -DNUVDM_FUZZ=ON >/dev/null
cmake --build "$root/build-fuzz" -j "$(nproc 2>/dev/null || echo 2)"
shopt -s nullglob
targets=("$root"/build-fuzz/bin/fuzz_*)
if [ ${#targets[@]} -eq 0 ]; then echo "no fuzz targets"; exit 0; fi
for t in "${targets[@]}"; do
  name=$(basename "$t")
  corpus="$root/build-fuzz/corpus/$name"
  mkdir -p "$corpus"
  seeds="$root/fuzz/seeds/${name#fuzz_}"
  [ -d "$seeds" ] || seeds=
  echo "fuzz $name for ${secs}s"
  "$t" -max_total_time="$secs" -print_final_stats=0 "$corpus" $seeds >"$root/build-fuzz/$name.log" 2>&1 \
    || { tail -n 40 "$root/build-fuzz/$name.log"; echo "$name failed" >&2; exit 1; }
done
