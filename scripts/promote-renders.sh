#!/usr/bin/env bash
# Promotes render-test outputs to references after a human has looked at them:
#   scripts/promote-renders.sh [name ...]   (no names: every *.out.png in the output folder)
set -euo pipefail
cd "$(dirname "$0")/.."
out_dir=${STM_RENDER_OUT:-build/render-out}
mkdir -p tests/reference
if [ $# -eq 0 ]; then
  shopt -s nullglob
  set -- "$out_dir"/*.out.png
  [ $# -gt 0 ] || { echo "nothing to promote in $out_dir"; exit 0; }
  set -- "${@##*/}"
  set -- "${@%.out.png}"
fi
for name in "$@"; do
  cp "$out_dir/$name.out.png" "tests/reference/$name.png"
  rm -f "$out_dir/$name.diff.png"
  echo "promoted $name"
done
