#!/usr/bin/env bash
# Both exports on a whole salon: 32,767 clients with their notes, 200,000 sheets.
# Budget: 2 s for the clients, 3 s for the sheets, 300 MB. The export alone is
# timed first, then the batch verb, which runs the analysis before it.
set -euo pipefail
source "$(dirname "$0")/commun.sh"
V="$BUILD/verifclients"
ARGS=(--clients 32767 --fiches 200000)

d=$(donnees export "${ARGS[@]}")
mesurer "export clients seul (32767 clients, notes)" "$BUILD/export-seul" "$d" clients
mesurer "export clients seul, fichiers déjà là" "$BUILD/export-seul" "$d" clients
mesurer "export fiches seul (200000 fiches)" "$BUILD/export-seul" "$d" techniques
mesurer "export fiches seul, fichiers déjà là" "$BUILD/export-seul" "$d" techniques
mesurer "compte avant la question, clients" "$BUILD/export-seul" "$d" compte-clients
mesurer "compte avant la question, fiches" "$BUILD/export-seul" "$d" compte-techniques

d=$(donnees export "${ARGS[@]}")
mesurer "--export-clients (analyse + export)" "$V" --dossier "$d" --export-clients
echo "  $(ls "$d"/FCLI_*.txt | wc -l) fichiers FCLI, $("$V" --dossier "$d" --export-clients | tail -n 1)"
d=$(donnees export "${ARGS[@]}")
mesurer "--export-techniques (analyse + export)" "$V" --dossier "$d" --export-techniques
echo "  $(ls "$d"/FTEC_*.txt | wc -l) fichiers FTEC, $("$V" --dossier "$d" --export-techniques | tail -n 1)"
