#!/usr/bin/env bash
# Builds Kovapost and runs every test, then runs the whole suite again in a build with
# AddressSanitizer and UndefinedBehaviorSanitizer. The exit status is the result.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")

export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKOVA_SANITIZE=ON >/dev/null
cmake --build build-asan -j "$jobs"
(cd build-asan && ctest --output-on-failure -j "$jobs")

# A short libFuzzer run of each import reader, seeded with the import fixtures; a fixed seed and
# run count keep it repeatable, so a finding shows up here first, not at random in CI.
CC=clang CXX=clang++ cmake -S fuzz -B build-fuzz -G Ninja >/dev/null
cmake --build build-fuzz -j "$jobs"
for target in csv_record mapping workbook package xls_merged address; do
  corpus=build-fuzz/corpus/$target
  fuzz/seed_corpus.sh $target "$corpus"
  runs=50000
  # Every workbook is read in a child process of its own, about 30 a second here; each merged-area
  # input checks every cell around its areas against a plain search.
  case $target in workbook | xls_merged) runs=5000 ;; esac
  # Only the last line when it passes, the fuzzer's report when it fails. (Workbooks that crash a
  # library inside their reading process are written out as crash-* too; those are expected.)
  log=build-fuzz/fuzz_$target.log
  if ! ASAN_OPTIONS=detect_leaks=0:suppressions=$PWD/fuzz/asan_suppressions.txt \
    build-fuzz/fuzz_$target -seed=1 -runs=$runs -max_len=65536 -timeout=10 -artifact_prefix=build-fuzz/ "$corpus" >"$log" 2>&1; then
    grep -v '^#[0-9]' "$log" | tail -60
    echo "fuzz_$target failed: the report is above, the input in the last 'Test unit written to' line."
    exit 1
  fi
  tail -1 "$log"
done
echo "All tests passed, with and without sanitizers; fuzz runs done."
