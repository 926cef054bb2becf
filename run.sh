#!/usr/bin/env bash
# Builds Kovapost in Release and starts it. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-release --target kovapost

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found (DISPLAY and WAYLAND_DISPLAY are empty), so the window cannot open here."
  echo "On a desktop, run ./run.sh again, or start build-release/kovapost directly."
  echo "To try it without a desktop: xvfb-run -a build-release/kovapost"
  exit 0
fi
exec build-release/kovapost
