#!/usr/bin/env bash
# Bounded fuzzing of the RTF converter: libFuzzer with the address and undefined
# behaviour sanitizers, built with clang in build-fuzz/. FUZZ_SECONDES sets the
# duration (60 s by default). Not part of `make test`.
set -euo pipefail
cd "$(dirname "$0")/.."

duree="${FUZZ_SECONDES:-60}"
if ! [[ "$duree" =~ ^[0-9]+$ ]] || [ "$duree" -eq 0 ]; then
  echo "FUZZ_SECONDES doit être un nombre de secondes positif (reçu : « $duree »)." >&2
  exit 2
fi

# What the fuzz build needs on top of the usual, installed only when missing.
scripts/install-deps.sh clang libclang-rt-14-dev

construction=build-fuzz
if [ ! -f "$construction/CMakeCache.txt" ]; then
  cmake -S fuzz -B "$construction" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ >/dev/null
fi
cmake --build "$construction" -j2

# New inputs go to an ignored working corpus; the seeds in fuzz/corpus stay as written.
travail=fuzz/corpus-work/rtf
artefacts="$construction/artefacts"
journal="$construction/fuzz.log"
mkdir -p "$travail" "$artefacts"
rm -f "$artefacts"/crash-* "$artefacts"/leak-* "$artefacts"/timeout-* "$artefacts"/oom-*

echo "Fuzzing du convertisseur RTF pendant $duree s…"
set +e
"$construction/fuzz_rtf" "$travail" fuzz/corpus/rtf \
  -dict=fuzz/rtf.dict -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
  -max_total_time="$duree" -print_final_stats=1 -artifact_prefix="$artefacts/" \
  >"$journal" 2>&1
code=$?
set -e

executions=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$journal" | grep -o '[0-9]*$' | tail -n 1)
vitesse=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$journal" | grep -o '[0-9]*$' | tail -n 1)
couverture=$(grep -o 'cov: [0-9]*' "$journal" | tail -n 1 | grep -o '[0-9]*')
entrees=$(find "$travail" -type f | wc -l)
trouves=$(find "$artefacts" -type f | sort)

echo "Exécutions : ${executions:-?} (${vitesse:-?} par seconde), couverture : ${couverture:-?} branches, corpus de travail : $entrees entrées."
if [ "$code" -eq 0 ] && [ -z "$trouves" ]; then
  echo "Aucun problème trouvé en $duree s."
  exit 0
fi
echo "PROBLÈME trouvé par le fuzzing (code $code). Journal : $journal"
grep -E '^(==[0-9]+==ERROR|SUMMARY|fuzz_rtf :)|runtime error' "$journal" | head -n 10 || true
for f in $trouves; do
  echo "Entrée fautive : $f (rejouer avec : $construction/fuzz_rtf $f)"
done
exit 1
