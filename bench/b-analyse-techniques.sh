#!/usr/bin/env bash
# The sheet analysis on 200,000 sheets: the first run tidies the memos, the
# second finds them tidied already.
set -euo pipefail
source bench/commun.sh
dossier=$(donnees techniques --clients 32767 --fiches 200000 --sans-notes)
mesurer "analyse techniques, 200 000 fiches" \
  "$BUILD/verifclients" --dossier "$dossier" --analyse-techniques
mesurer "analyse techniques, seconde fois" \
  "$BUILD/verifclients" --dossier "$dossier" --analyse-techniques
