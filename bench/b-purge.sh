#!/usr/bin/env bash
# Purge of a whole salon's history: 32,767 clients, 300,000 visits, 200,000
# technical sheets. Counting is what each click on a day costs.
set -euo pipefail
source "$(dirname "$0")/commun.sh"
V="$BUILD/verifclients"
ARGS=(--clients 32767 --fiches 200000 --visites 300000 --sans-notes)
DATE=01/01/2020

d=$(donnees purge "${ARGS[@]}")
echo "purge au $DATE : $("$V" --dossier "$d" --purge-clients "$DATE") clients," \
  "$("$V" --dossier "$d" --purge-techniques "$DATE") fiches"
mesurer "comptage clients (32767 cl., 300000 visites)" "$V" --dossier "$d" --purge-clients "$DATE"
mesurer "comptage fiches (200000 fiches)" "$V" --dossier "$d" --purge-techniques "$DATE"
d=$(donnees purge "${ARGS[@]}")
mesurer "comptage et purge clients (--oui)" "$V" --dossier "$d" --purge-clients "$DATE" --oui
d=$(donnees purge "${ARGS[@]}")
mesurer "comptage et purge fiches (--oui)" "$V" --dossier "$d" --purge-techniques "$DATE" --oui
