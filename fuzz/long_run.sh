#!/usr/bin/env bash
# The long fuzz runs, one target at a time at the lowest priority: fuzz/long_run.sh [SECONDS]
# [TARGET...] (600 s each, the new targets first). Needs build-fuzz (see CMakeLists.txt); each
# target's corpus grows in build-fuzz/long/TARGET, its log is build-fuzz/long/TARGET.log, and a
# finding is written as build-fuzz/long/TARGET-crash-*. An input may take 60 s: at the lowest
# priority on a busy machine, 10 s were reached by ordinary inputs.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
targets=${*:-package xls_merged address workbook csv_record mapping}
mkdir -p build-fuzz/long
for target in $targets; do
  corpus=build-fuzz/long/$target
  fuzz/seed_corpus.sh "$target" "$corpus"
  ASAN_OPTIONS=detect_leaks=0:suppressions=$PWD/fuzz/asan_suppressions.txt \
    nice -n 19 build-fuzz/fuzz_$target -seed=1 -max_total_time="$seconds" -max_len=65536 -timeout=60 \
    -rss_limit_mb=2560 -print_final_stats=1 -artifact_prefix=build-fuzz/long/$target- "$corpus" \
    >build-fuzz/long/$target.log 2>&1
  echo "$target: exit $?, $(grep -m1 -o 'Done [0-9]* runs in [0-9]* second' build-fuzz/long/$target.log)"
done
