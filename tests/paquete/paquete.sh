#!/usr/bin/env bash
# Builds the Debian package from the build tree, unpacks it into a temporary
# root and runs the unpacked program's unattended export on a generated
# database. Exit status 77 (skipped) when the Debian tools are missing.
# Usage: paquete.sh BUILD_DIR GENERAR_DEMO
set -euo pipefail
build=$1
generar=$2

for h in cpack dpkg-deb dpkg-shlibdeps file; do
  command -v "$h" >/dev/null || { echo "falta $h: prueba omitida"; exit 77; }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
falla() { echo "FALLA: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/cpack" >"$tmp/cpack.log" 2>&1 \
  || { cat "$tmp/cpack.log" >&2; falla "cpack"; }
debs=("$tmp"/cpack/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || falla "cpack no dejó un .deb"
deb=${debs[0]}

# The control data: dependencies found by shlibdeps, not written by hand.
depende=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libsqlite3 libodbc libc6; do
  grep -q "$lib" <<<"$depende" || falla "Depends sin $lib: $depende"
done

root="$tmp/raiz"
dpkg-deb -x "$deb" "$root"
for f in usr/bin/verificador \
         usr/share/man/man1/verificador.1.gz \
         usr/share/applications/verificador.desktop \
         usr/share/icons/hicolor/scalable/apps/verificador.svg \
         usr/share/verificador/Styles/Office2007.qss \
         usr/share/doc/verificador/copyright \
         usr/share/doc/verificador/examples/servidores.ini \
         usr/share/doc/verificador/examples/verificador.service \
         usr/share/doc/verificador/examples/verificador.timer; do
  [ -f "$root/$f" ] || falla "el paquete no tiene /$f"
done
[ -x "$root/usr/bin/verificador" ] || falla "/usr/bin/verificador no es ejecutable"
# Only the program: no test, benchmark or tool of the build tree.
extra=$(cd "$root/usr/bin" && ls | grep -vx verificador || true)
[ -z "$extra" ] || falla "sobran en /usr/bin: $extra"

version=$("$root/usr/bin/verificador" --version </dev/null 2>&1) || falla "--version termino con error: $version"
case "$version" in verificador\ *) ;; *) falla "--version dijo: $version" ;; esac

# The unpacked program, as a scheduler runs it, on a generated database.
carpeta="$tmp/carpeta"
mkdir -p "$carpeta"
"$generar" "$carpeta" --articulos 200 >/dev/null
set +e
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u VERIFICADOR_SERVIDORES -u VERIFICADOR_UNIDADES \
  VERIFICADOR_CARPETA="$carpeta" \
  timeout 30 "$root/usr/bin/verificador" --consola \
  "@Server=LOCAL; @DbName=DEMO; @Usuario=ADMIN; @Password=DEMO; @ParametroAdicional=1;" \
  </dev/null >"$tmp/salida.txt" 2>&1
estado=$?
set -e
[ $estado -eq 0 ] || { cat "$tmp/salida.txt" >&2; falla "estado de salida $estado"; }
archivo="$carpeta/unidades/c/Productos/productos.txt"
[ -s "$archivo" ] || falla "no se escribió $archivo"
lineas=$(wc -l <"$archivo")
[ "$lineas" -gt 0 ] || falla "productos.txt vacío"
head -1 "$archivo" | LC_ALL=C grep -qE '^[^;]*;[^;]+;[^;]*;0'$'\r''$' || falla "primera línea mal formada: $(head -1 "$archivo" | od -c | head -2)"
echo "paquete $(basename "$deb"): $lineas artículos exportados"
