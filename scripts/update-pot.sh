#!/usr/bin/env bash
# Regenerates po/Eng_Stm.pot from the sources; the catalogue test fails until this is run
# after a user text changes.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/pot-sources.sh
stm_extract_pot po/Eng_Stm.pot
