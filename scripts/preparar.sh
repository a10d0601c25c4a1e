#!/usr/bin/env bash
# Installs what the build needs (Debian 12 packages; nothing when all is
# there), then configures and builds into build/.
set -euo pipefail
cd "$(dirname "$0")/.."

paquetes=(g++ cmake make dpkg-dev file qt6-base-dev libsqlite3-dev sqlite3 unixodbc unixodbc-dev tdsodbc libsqliteodbc
          googletest libgtest-dev nlohmann-json3-dev rapidjson-dev qt6-translations-l10n)
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

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" "$@"
