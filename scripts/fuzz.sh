#!/bin/sh
# Builds the fuzz targets with clang (AddressSanitizer, UndefinedBehaviorSanitizer,
# libFuzzer) in build-fuzz and runs each for a bounded time.
#   scripts/fuzz.sh [seconds per target, default 60] ["target names", default all]
set -eu
SEGUNDOS="${1:-60}"
RAIZ="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${FUZZ_BUILD:-$RAIZ/build-fuzz}"
SAN="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fsanitize=fuzzer-no-link"

cmake -S "$RAIZ" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang ${FUZZ_CMAKE_ARGS:-} -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="$SAN" -DCMAKE_C_FLAGS="$SAN" \
  -DVERIFICADOR_FUZZ=ON -DVERIFICADOR_TESTS=OFF -DVERIFICADOR_BENCH=OFF >/dev/null
OBJETIVOS="leerjson eval traductor analizador parametros servidores rutas consultas campos stringbuilder bases reescritura"
cmake --build "$BUILD" --target $(for o in $OBJETIVOS; do printf "fuzz_%s " "$o"; done) -j2

estado=0
for objetivo in ${2:-$OBJETIVOS}; do
  corpus="$BUILD/corpus/$objetivo"
  mkdir -p "$corpus"
  echo "== fuzz_$objetivo, $SEGUNDOS s"
  if ! UBSAN_OPTIONS=print_stacktrace=1 \
      "$BUILD/fuzz/fuzz_$objetivo" -max_total_time="$SEGUNDOS" -max_len=8192 -rss_limit_mb=2048 \
      -timeout=10 -print_final_stats=1 -artifact_prefix="$BUILD/fuzz_$objetivo-" \
      "$corpus" "$RAIZ/fuzz/semillas/$objetivo" 2>"$BUILD/fuzz_$objetivo.log"; then
    estado=1
    echo "fuzz_$objetivo FAILED; see $BUILD/fuzz_$objetivo.log"
  fi
  grep -E "DONE +cov:|stat::number_of_executed_units|stat::peak_rss_mb|ERROR|SUMMARY|does not hold" "$BUILD/fuzz_$objetivo.log" || true
done
exit $estado
