#!/usr/bin/env bash
# The benchmarks of the embedded database's translation on this tree and on an
# earlier commit, built alike (same flags, one job at a time), run alternated
# on the same machine: translation per statement, the lookup session with its
# peak memory, and the export of ARTICULOS articles against the earlier build.
#   bench/antes_despues.sh COMMIT [ARTICULOS] [VECES]
# The earlier commit is checked out in WORKTREE (default ../wt-antes) and built
# in its build/; this tree must be built in build/ with the benchmarks on. The
# earlier tree gets this tree's translation and lookup benchmarks, which build
# on either translation.
set -euo pipefail
cd "$(dirname "$0")/.."
commit=${1:?commit}
articulos=${2:-1000000}
veces=${3:-3}
antes=${WORKTREE:-$(realpath ..)/wt-antes}

[ -d "$antes" ] || git worktree add --detach "$antes" "$commit"
cp bench/bench_traduccion.cpp bench/traduccion.cmake bench/bench_consultas.cpp bench/consultas.cmake "$antes/bench/"
objetivos=(verificador bench_traduccion bench_consultas)
cmake -S "$antes" -B "$antes/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVERIFICADOR_BENCH=ON \
  -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache >/dev/null
cmake --build "$antes/build" -j1 --target "${objetivos[@]}" >/dev/null
cmake --build build -j1 --target "${objetivos[@]}" bench_exportacion >/dev/null

for ((i = 1; i <= veces; i++)); do
  for arbol in . "$antes"; do
    echo "== $arbol, corrida $i"
    "$arbol/build/bench/bench_traduccion"
    /usr/bin/time -f "pico %M KB, usuario %U s, sistema %S s" "$arbol/build/bench/bench_consultas" 2>&1 |
      grep -E "list dialog|search as|F5|memory|access log|pico"
  done
done
(cd build/bench && ./bench_exportacion --contra "$antes/build/verificador" "$articulos" "$veces")
