#!/usr/bin/env bash
# Duplicate clients on a whole salon: 32,767 clients, about one in thirty a
# second record of a person, one in eighty a daughter or a twin sister.
# Budget: 2 s and 100 MB for the search; precision at least 0.95 and recall
# at least 0.90 against the pairs make-demo seeded.
set -euo pipefail
source "$(dirname "$0")/commun.sh"
ARGS=(--clients 32767)

# The truth is written with the data: both are made again together.
verite="$BENCH/verite-doublons.txt"
[ -f "$verite" ] || rm -rf "$BENCH/modele-doublons"
d=$(donnees doublons "${ARGS[@]}" --verite "$verite")
mesurer "Doublons possibles (32767 clients)" "$BUILD/doublons-seul" "$d"
echo "  $("$BUILD/doublons-seul" "$d" | tail -n 1)"
"$BUILD/doublons-seul" "$d" --verite "$verite" | sed 's/^/  /'
