#!/usr/bin/env bash
# make bench: times each batch run on generated data and reports seconds and
# peak memory. The data are generated once into $BUILD/bench/.
set -euo pipefail
cd "$(dirname "$0")/.."
export BUILD="${1:-build}"
export LC_ALL=C.UTF-8
source bench/commun.sh
for b in bench/b-*.sh; do
  [ -e "$b" ] || continue
  bash "$b"
done
