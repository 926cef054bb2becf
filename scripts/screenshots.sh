#!/bin/sh
# Pictures of the running program under Xvfb, for the user guide and the README:
#   scripts/screenshots.sh BUILD_DIR [OUT_DIR] [WIDTHxHEIGHT] [SCALE]
# Defaults: docs/images, 1366x768 (the commonest office screen), scale 1. The settings and the
# user's database go to a scratch folder, so the pictures show a first start.
set -eu
build=${1:?build folder}
out=${2:-docs/images}
size=${3:-1366x768}
scale=${4:-1}
tool="$build/kovapost_screenshots"
[ -x "$tool" ] || { echo "build the kovapost_screenshots target first" >&2; exit 1; }
mkdir -p "$out"
scratch=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$scratch"' EXIT
display=:$((90 + $$ % 100))
Xvfb "$display" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
DISPLAY=$display QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale HOME=$scratch XDG_CONFIG_HOME=$scratch/config \
  XDG_DATA_HOME=$scratch/data XDG_RUNTIME_DIR=$scratch "$tool" "$out"
echo "pictures in $out"
