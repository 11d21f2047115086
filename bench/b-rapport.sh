#!/usr/bin/env bash
# Migration report of a large salon (32,767 clients with notes, 200,000
# sheets, both exports in the folder), in batch mode: both analyses, then the
# figures gathered and the PDF written. Both analyses alone for comparison.
set -euo pipefail
source "$(dirname "$0")/commun.sh"
V="$BUILD/verifclients"
ARGS=(--clients 32767 --fiches 200000)

d=$(donnees export "${ARGS[@]}")
"$V" --dossier "$d" --export-clients >/dev/null
"$V" --dossier "$d" --export-techniques >/dev/null
mesurer "les deux analyses seules" \
  bash -c "\"\$1\" --dossier \"\$2\" --analyse-clients && \"\$1\" --dossier \"\$2\" --analyse-techniques" _ "$V" "$d"
mesurer "--rapport (les deux analyses, puis le PDF)" "$V" --dossier "$d" --rapport "$d/rapport.pdf"
echo "  $("$V" --dossier "$d" --rapport "$d/rapport.pdf" 2>/dev/null | tail -n 1)"
