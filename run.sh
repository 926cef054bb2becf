#!/usr/bin/env bash
# Builds Kovapost in Release and starts it. Installs what is missing first. Without a display it
# prints the bundled sample as envelopes and labels with the batch tool instead.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cmake --build build-release --target kovapost kovapost-batch
  mkdir -p out
  sample=resources/sample/sample.csv
  build-release/kovapost-batch envelopes "$sample" --complete-postcodes -o out/sample-envelopes.pdf
  build-release/kovapost-batch labels "$sample" --complete-postcodes --across 3 --down 8 --shrink 2.5 \
    -o out/sample-labels.pdf
  # Pictures of the first pages, for a look without a PDF viewer.
  pdftoppm -png -r 100 -f 1 -l 1 -singlefile out/sample-envelopes.pdf out/sample-envelopes
  pdftoppm -png -r 100 -f 1 -l 1 -singlefile out/sample-labels.pdf out/sample-labels
  echo "No display found (DISPLAY and WAYLAND_DISPLAY are empty), so the window cannot open here."
  echo "Printed the bundled sample ($sample) with postcode completion instead:"
  echo "  $PWD/out/sample-envelopes.pdf   (one envelope per record; first page: out/sample-envelopes.png)"
  echo "  $PWD/out/sample-labels.pdf      (3 × 8 labels a sheet; first page: out/sample-labels.png)"
  echo "On a desktop, run ./run.sh again, or start build-release/kovapost directly."
  echo "To try the window without a desktop: xvfb-run -a build-release/kovapost"
  exit 0
fi
cmake --build build-release --target kovapost
exec build-release/kovapost
