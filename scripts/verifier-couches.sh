#!/usr/bin/env bash
# The levels of src/ include only downward: the ground (platform, store)
# includes only the ground, the shared layer (commun) the ground and itself,
# a feature anything but the top (app). Prints each include that climbs.
set -uo pipefail
src="${1:-$(dirname "$0")/../src}"
echec=0
verifier() {  # FOLDERS… -- FORBIDDEN…
    local dossiers=() interdits=()
    while [ "$1" != "--" ]; do dossiers+=("$src/$1"); shift; done
    shift
    interdits=("$@")
    local motif
    motif="#include \"($(IFS='|'; echo "${interdits[*]}"))/"
    if grep -rnE "$motif" "${dossiers[@]}"; then
        echec=1
    fi
}
fonctions="clients tech purge export communes rapport access doublons"
verifier platform store -- commun $fonctions app
verifier commun -- $fonctions app
verifier $fonctions -- app
if [ "$echec" -ne 0 ]; then
    echo "Ces inclusions remontent d'un niveau vers un niveau au-dessus." >&2
fi
exit "$echec"
