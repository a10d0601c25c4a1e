#!/usr/bin/env bash
# Builds everything with AddressSanitizer (leaks checked by LeakSanitizer) and
# UndefinedBehaviorSanitizer into build-san/ and runs every test there; the
# tests that start the program run the sanitized binary too.
#   scripts/sanitizers.sh            (SAN_CMAKE_ARGS: more -D options, e.g. a compiler launcher)
# Any sanitizer report, also one from a child process whose output a test
# swallowed, fails the run and is printed at the end. Leak suppressions, each
# with its reason: sanitizers/lsan.supp.
set -euo pipefail
cd "$(dirname "$0")/.."
raiz=$PWD
build=$raiz/build-san
informes=$build/informes-sanitizer

san="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
# exitcode: a sanitizer error must not pass for the program's own status 1.
comun="exitcode=86:log_path=$informes/informe"
export ASAN_OPTIONS="$comun:detect_leaks=1:check_initialization_order=1:strict_init_order=1"
export UBSAN_OPTIONS="$comun:print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$raiz/sanitizers/lsan.supp:print_suppressions=0"

rm -rf "$informes"
mkdir -p "$informes"
# The build runs the test programs to list their tests: under the same options.
# UBSan's runtime is linked statically: the shared one, beside ASan's, ignores
# log_path and would leave its reports in output a test may swallow. Linked so,
# UBSan and leak reports land here whole; of an ASan error only the SUMMARY
# line does (enough to fail the run), the rest goes to the program's stderr.
# libgcc-12-dev holds the static UBSan runtime.
# shellcheck disable=SC2086
scripts/preparar.sh --dir "$build" --paquete libasan8 --paquete libgcc-12-dev \
  -DCMAKE_C_FLAGS="$san" -DCMAKE_CXX_FLAGS="$san" \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
  -DCMAKE_EXE_LINKER_FLAGS="-static-libubsan" \
  -DVERIFICADOR_BENCH=OFF ${SAN_CMAKE_ARGS:-}

# Every test runs here but those a sanitizer cannot run, left out with ctest -E:
# - ExtensionSqlite, paquete and the ALTER COLUMN test of another SQLite
#   program load the SQLite extension into Debian's sqlite3 shell and Python,
#   which are not sanitized: a sanitized library refuses to load there (the
#   ASan runtime must come first). They run in the normal pass.
estado=0
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 900 \
  -E '^(ExtensionSqlite\.|paquete$|Sqlite/AlterarColumna\.AnotherSqliteProgram)') || estado=1
if [ -n "$(ls -A "$informes")" ]; then
  for f in "$informes"/*; do
    echo "== $f"
    cat "$f"
  done
  echo "Informes de los sanitizers: $informes" >&2
  estado=1
fi
exit $estado
