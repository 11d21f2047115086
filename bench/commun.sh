# Shared by the benchmark scripts (sourced).
BUILD="${BUILD:-build}"
BENCH="$BUILD/bench"
mkdir -p "$BENCH"

# mesurer LIBELLE COMMANDE… : runs the command once, prints wall seconds and
# peak resident memory (MB).
mesurer() {
  local libelle="$1"; shift
  local sortie
  sortie=$(/usr/bin/time -f '%e %M' "$@" 2>&1 >/dev/null | tail -n 1)
  local secondes memoire
  secondes=$(echo "$sortie" | awk '{print $1}')
  memoire=$(echo "$sortie" | awk '{printf "%.0f", $2/1024}')
  # Padded by characters, not bytes: the labels are French.
  local blancs=$(( 48 - ${#libelle} )); [ "$blancs" -gt 0 ] || blancs=1
  printf '%s%*s %7s s  %6s Mo\n' "$libelle" "$blancs" '' "$secondes" "$memoire"
}

# donnees NOM ARGS… : a data folder made once by make-demo with these arguments
# and the towns reference, then copied afresh for each run (prints its path).
donnees() {
  local nom="$1"; shift
  local modele="$BENCH/modele-$nom"
  if [ ! -f "$modele/BdClient.mdb" ]; then
    rm -rf "$modele"
    mkdir -p "$modele"
    cp "$BUILD/communes.mdb" "$modele/communes.mdb"
    "$BUILD/make-demo" --dossier "$modele" --communes "$modele/communes.mdb" "$@" >/dev/null
    printf 'PARIS\r\n75001\r\n' > "$modele/default.txt"
  fi
  local copie="$BENCH/$nom"
  rm -rf "$copie"
  cp -r "$modele" "$copie"
  echo "$copie"
}
