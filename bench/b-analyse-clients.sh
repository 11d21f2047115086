#!/usr/bin/env bash
# Client analysis of 32,767 clients (one in ten with a note file), in batch
# mode and as the window runs it (offscreen), each on a fresh copy.
set -euo pipefail
source bench/commun.sh

dossier=$(donnees clients-32767 --clients 32767)
mesurer "Analyse clients, lot (32 767 clients)" \
  "$BUILD/verifclients" --dossier "$dossier" --analyse-clients

dossier=$(donnees clients-32767 --clients 32767)
mesurer "Analyse clients, fenêtre hors écran (32 767)" \
  env QT_QPA_PLATFORM=offscreen "$BUILD/bench-fenetre-clients" --dossier "$dossier"
