#!/usr/bin/env bash
# Installs what is needed, builds, and runs the main job: the editor on a bundled example where
# a display is present, otherwise a headless render of that example to a PNG.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target stm-render stm-editor

example=${1:-examples/deep-beam-opening.stm.json}
if [ -n "${DISPLAY:-}" ] && [ -x build/apps/stm-editor/stm-editor ]; then
  exec build/apps/stm-editor/stm-editor "$example"
elif [ -x build/apps/stm-render/stm-render ]; then
  out=build/$(basename "${example%%.*}").png
  build/apps/stm-render/stm-render "$example" -o "$out"
  echo "rendered $example to $out"
else
  echo "run: stm-render was not built" >&2
  exit 1
fi
