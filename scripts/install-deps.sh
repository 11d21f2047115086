#!/usr/bin/env bash
# Installs what VerifClients needs to build, test and run, and nothing twice:
# the Debian packages that are missing, and the towns reference from npm.
# Extra Debian packages may be named as arguments (the fuzz build's clang).
set -euo pipefail
cd "$(dirname "$0")/.."

paquets=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev fonts-dejavu-core fonts-liberation2
  libsqlite3-dev sqlite3 libgtest-dev
  mdbtools-dev libglib2.0-dev
  time poppler-utils
  file desktop-file-utils
  "$@"
)
# npm often comes with a nodejs package of its own: ask Debian's only when missing.
if ! command -v npm >/dev/null 2>&1; then paquets+=(nodejs npm); fi

manquants=()
for p in "${paquets[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    manquants+=("$p")
  fi
done

if [ ${#manquants[@]} -gt 0 ]; then
  echo "Installation des paquets Debian : ${manquants[*]}"
  sudo_=""
  if [ "$(id -u)" -ne 0 ]; then sudo_="sudo"; fi
  $sudo_ apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_ apt-get install -y -qq --no-install-recommends "${manquants[@]}"
fi

# The official postal codes, as an npm package kept in an ignored cache folder.
version_cp="4.1.2"
paquet_cp=".deps/npm/node_modules/codes-postaux/package.json"
if ! { [ -f "$paquet_cp" ] && grep -q "\"version\": \"$version_cp\"" "$paquet_cp"; }; then
  echo "Installation du référentiel codes-postaux@$version_cp (npm)"
  mkdir -p .deps/npm
  npm install --prefix .deps/npm --no-save --no-audit --no-fund --loglevel=error \
    "codes-postaux@$version_cp" >/dev/null
fi
