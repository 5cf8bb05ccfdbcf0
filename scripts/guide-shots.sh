#!/usr/bin/env bash
# Makes the pictures of README.md and docs/guide.md from the real editor on the bundled examples,
# on a private X display, so that they show the program as it is. Look at them before committing.
# EDITOR_EXE picks another editor build.
set -euo pipefail
cd "$(dirname "$0")/.."

editor=${EDITOR_EXE:-build/apps/stm-editor/stm-editor}
if [ ! -x "$editor" ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build build -j"$(nproc)" --target stm-editor
fi
out=docs/images
mkdir -p "$out"
# The window's layout, recent files and recovery copy of a shot stay out of the user's own.
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT

shot() {  # model picture [size]
  # The pointer starts in the middle of the screen, over the drawing: moved away, it highlights
  # nothing in the picture.
  XDG_CONFIG_HOME=$config LANGUAGE=en QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp" \
    bash -c 'xdotool mousemove 1599 1199 && exec "$@"' shot \
    "$editor" "$1" --size "${3:-1600x1000}" --frames 3 --screenshot "$out/$2"
  echo "guide-shots: $out/$2"
}

shot examples/deep-beam-opening.stm.json editor-deep-beam.png
shot examples/corbel.stm.json editor-corbel.png
