#!/usr/bin/env bash
# Grouped correction on 32,767 clients, one town in three misspelt (a few
# thousand distinct towns in error): the values in error with their
# suggestions in batch (--suggestions, beside the analysis alone) and as the
# window opens them (offscreen). Then what the journal costs the analysis:
# set REFERENCE to a verifclients built without the journal to compare.
set -euo pipefail
source bench/commun.sh

# A fresh copy of the 32,767 clients, its towns misspelt when asked.
copie() {
  local d
  d=$(donnees clients-32767 --clients 32767)
  if [ "${1:-}" = fautes ]; then sqlite3 "$d/BdClient.mdb" < bench/fautes-villes.sql; fi
  if [ "${1:-}" = blancs ]; then
    # Worst case for the journal: the tidying rewrites every client.
    sqlite3 "$d/BdClient.mdb" "UPDATE FCLI SET Tel1 = ' ' || coalesce(Tel1, '') || ' '"
  fi
  echo "$d"
}

d=$(copie fautes)
echo "  $(sqlite3 "$d/BdClient.mdb" "SELECT count(DISTINCT Ville) FROM FCLI") villes distinctes" \
     "dont $("$BUILD/verifclients" --dossier "$(copie fautes)" --suggestions | grep -c '^Ville')" \
     "en erreur"
mesurer "Analyse clients seule (villes mal écrites)" \
  "$BUILD/verifclients" --dossier "$(copie fautes)" --analyse-clients
mesurer "Analyse puis valeurs en erreur (--suggestions)" \
  "$BUILD/verifclients" --dossier "$(copie fautes)" --suggestions
env QT_QPA_PLATFORM=offscreen "$BUILD/bench-fenetre-groupee" --dossier "$(copie fautes)" \
  2>/dev/null | sed 's/^/  /'

mesurer "Analyse clients, avec journal" "$BUILD/verifclients" --dossier "$(copie)" --analyse-clients
mesurer "Analyse clients, tout rangé, avec journal" \
  "$BUILD/verifclients" --dossier "$(copie blancs)" --analyse-clients
if [ -n "${REFERENCE:-}" ]; then
  mesurer "Analyse clients, sans journal" "$REFERENCE" --dossier "$(copie)" --analyse-clients
  mesurer "Analyse clients, tout rangé, sans journal" \
    "$REFERENCE" --dossier "$(copie blancs)" --analyse-clients
fi
