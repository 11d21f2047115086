#!/usr/bin/env bash
# Checks the Debian package as a user gets it: made by CPack from the build
# folder, unpacked into a temporary root, its programs run from there on a
# demo folder with the towns reference it ships. A file missing from the
# package, an undeclared library or a program that needs the build tree fails.
#   scripts/verifier-paquet.sh [BUILD]
set -euo pipefail
depot="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$depot/build}" && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

echec() {
  echo "Paquet : $*" >&2
  exit 1
}

if ! cpack --config "$build/CPackConfig.cmake" -B "$tmp/cpack" >"$tmp/cpack.log" 2>&1; then
  cat "$tmp/cpack.log" >&2
  echec "cpack n'a pas fait le paquet"
fi
deb=("$tmp"/cpack/verifclients_*.deb)
[ -f "${deb[0]}" ] || echec "aucun verifclients_*.deb dans $tmp/cpack"
racine="$tmp/racine"
dpkg-deb -x "${deb[0]}" "$racine"

# Exactly these files: no test data goes with the program.
attendus="usr/bin/verifclients
usr/bin/verifclients-access
usr/share/applications/verifclients.desktop
usr/share/doc/verifclients/README.md
usr/share/icons/hicolor/scalable/apps/verifclients.svg
usr/share/verifclients/communes.mdb"
obtenus="$(cd "$racine" && find . -type f -printf '%P\n' | LC_ALL=C sort)"
if [ "$obtenus" != "$attendus" ]; then
  diff <(echo "$attendus") <(echo "$obtenus") >&2 || true
  echec "le contenu n'est pas celui attendu (< attendu, > dans le paquet)"
fi

depends="$(dpkg-deb -f "${deb[0]}" Depends)"
for p in libqt6widgets6 libqt6printsupport6 libsqlite3-0 libmdb3 qt6-qpa-plugins; do
  grep -qE "(^|, )$p( |,|$)" <<<"$depends" || echec "dépendance $p non déclarée ($depends)"
done
for programme in verifclients verifclients-access; do
  if readelf -d "$racine/usr/bin/$programme" | grep -qE 'R(UN)?PATH'; then
    echec "$programme cherche des bibliothèques hors du système"
  fi
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$racine/usr/share/applications/verifclients.desktop" ||
    echec "entrée de menu invalide"
fi

# The unpacked programs, on a demo folder with the reference from the package.
bin="$racine/usr/bin"
export QT_QPA_PLATFORM=offscreen
"$bin/verifclients" --help >"$tmp/aide.txt" || echec "verifclients --help a échoué"
grep -q -- '--analyse-clients' "$tmp/aide.txt" || echec "l'aide ne cite pas --analyse-clients"

demo="$tmp/demo"
mkdir "$demo"
cp "$racine/usr/share/verifclients/communes.mdb" "$demo/"
"$build/make-demo" --dossier "$demo" >/dev/null
printf 'PARIS\r\n75001\r\n' >"$demo/default.txt"
"$bin/verifclients" --dossier "$demo" --analyse-clients >"$tmp/analyse.txt" ||
  echec "--analyse-clients a échoué sur la démonstration : $(tail -n 3 "$tmp/analyse.txt")"
grep -qE '^Liste des clients avec erreur \([0-9]+ / 500\)' "$tmp/analyse.txt" ||
  echec "--analyse-clients n'a pas jugé les 500 clients : $(tail -n 3 "$tmp/analyse.txt")"

# The Access reader must be found beside the installed program.
acces="$tmp/acces"
mkdir "$acces"
cp "$depot/tests/data/jet/synthetic_salon_jet4.mdb" "$acces/BdClient.mdb"
chmod u+w "$acces/BdClient.mdb"
"$bin/verifclients" --dossier "$acces" --convertir-access --oui >"$tmp/acces.txt" 2>&1 ||
  echec "--convertir-access a échoué : $(tail -n 3 "$tmp/acces.txt")"

echo "Paquet vérifié : $(basename "${deb[0]}") ($(du -k "${deb[0]}" | cut -f1) Kio)"
