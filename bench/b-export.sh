#!/usr/bin/env bash
# Both exports on a whole salon: 32,767 clients with their notes, 200,000 sheets.
# Budget: 2 s for the clients, 3 s for the sheets, 300 MB.
set -euo pipefail
source "$(dirname "$0")/commun.sh"

dossier=$(donnees export --clients 32767 --fiches 200000)
mesurer "export clients seul (32767 clients, notes)" "$BUILD/export-seul" "$dossier" clients
mesurer "export clients seul, fichiers déjà là" "$BUILD/export-seul" "$dossier" clients
mesurer "export fiches seul (200000 fiches)" "$BUILD/export-seul" "$dossier" techniques
mesurer "export fiches seul, fichiers déjà là" "$BUILD/export-seul" "$dossier" techniques
