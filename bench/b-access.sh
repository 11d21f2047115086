#!/usr/bin/env bash
# Conversion of Access files: seconds and peak memory of a whole
# --convertir-access run, then the rate of the rows themselves (read, decoded
# and written; the reader's own count, median of five runs).
set -euo pipefail
source bench/commun.sh
jet="$(pwd)/../shared/testdata/jet"
if [ ! -f "$jet/nwind.mdb" ]; then
  echo "Conversion Access : données de test absentes ($jet), mesure sautée."
  exit 0
fi
for nom in nwind synthetic_salon_jet4; do
  dossier="$BENCH/access-$nom"
  taux=()
  for essai in 1 2 3 4 5; do
    rm -rf "$dossier"
    mkdir -p "$dossier"
    cp "$jet/$nom.mdb" "$dossier/BdClient.mdb"
    chmod u+w "$dossier/BdClient.mdb"
    if [ "$essai" = 1 ]; then
      mesurer "Conversion Access $nom.mdb" \
        bash -c "\"$BUILD/verifclients\" --dossier \"$dossier\" --convertir-access --oui > \"$dossier.txt\""
    else
      "$BUILD/verifclients" --dossier "$dossier" --convertir-access --oui > "$dossier.txt"
    fi
    taux+=("$(grep -o '([0-9]* lignes/s)' "$dossier.txt" | tr -dc '0-9')")
  done
  lignes=$(grep -o '[0-9]* ligne(s)' "$dossier.txt" | tr -dc '0-9')
  mediane=$(printf '%s\n' "${taux[@]}" | sort -n | sed -n 3p)
  printf '%-48s %7s lignes/s (%s lignes)\n' "  copie des lignes de $nom.mdb" "$mediane" "$lignes"
done
