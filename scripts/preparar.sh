#!/usr/bin/env bash
# Installs what the build needs (Debian 12 packages; nothing when all is
# there), then configures and builds into build/.
#   scripts/preparar.sh [--dir DIR] [--paquete PKG]... [-DVAR=VALUE]... [cmake --build options]
# --dir builds elsewhere, --paquete installs one more package, -D options go to
# the configure step; the rest (e.g. --target verificador) to the build.
# CMAKE_BUILD_PARALLEL_LEVEL limits the build jobs (default: every core).
set -euo pipefail
cd "$(dirname "$0")/.."

dir=build
paquetes=(g++ cmake make dpkg-dev file qt6-base-dev libsqlite3-dev sqlite3 unixodbc unixodbc-dev tdsodbc libsqliteodbc
          lintian desktop-file-utils systemd logrotate
          googletest libgtest-dev nlohmann-json3-dev rapidjson-dev qt6-translations-l10n)
configuracion=()
while [ $# -gt 0 ]; do
  case $1 in
    --dir) dir=$2; shift 2 ;;
    --paquete) paquetes+=("$2"); shift 2 ;;
    -D*) configuracion+=("$1"); shift ;;
    *) break ;;
  esac
done

faltan=()
for p in "${paquetes[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || faltan+=("$p")
done
if [ ${#faltan[@]} -gt 0 ]; then
  echo "Instalando: ${faltan[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${faltan[@]}" >/dev/null
fi

cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${configuracion[@]}" >/dev/null
cmake --build "$dir" -j"${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}" "$@"
