#!/usr/bin/env bash
# Builds the Debian package from the build tree, checks it with lintian and
# desktop-file-validate, unpacks it into a temporary root and tries what the
# README tells a new user and an administrator to run with it: the demo
# database and its unattended export, the SQLite extension in the sqlite3
# shell and in Python, the example units (their exposure, their command
# lines), and the logrotate rule while the program writes its log.
# Exit status 77 (skipped) when a Debian tool is missing (scripts/preparar.sh
# installs them all).
# Usage: paquete.sh BUILD_DIR
set -euo pipefail
build=$1
readme=$(cd "$(dirname "$0")/../.." && pwd)/README.md

for h in cpack dpkg-deb dpkg-shlibdeps dpkg-architecture file lintian desktop-file-validate systemd-analyze \
         logrotate sqlite3 iconv; do
  command -v "$h" >/dev/null || { echo "falta $h: prueba omitida"; exit 77; }
done

# In the build tree, so that the unit's private /tmp below hides none of it.
tmp=$(mktemp -d -p "$build")
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

lintian --no-tag-display-limit "$deb" >"$tmp/lintian.txt" 2>&1 || true
if grep -E '^[EW]: ' "$tmp/lintian.txt" >&2; then falla "lintian"; fi

root="$tmp/raiz"
dpkg-deb -x "$deb" "$root"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
extension=usr/lib/$multiarch/verificador/verificador_sqlite.so
ejemplos=usr/share/doc/verificador/examples
for f in usr/bin/verificador usr/bin/verificador-demo "$extension" \
         usr/share/man/man1/verificador.1.gz usr/share/man/man1/verificador-demo.1.gz \
         usr/share/applications/verificador.desktop \
         usr/share/icons/hicolor/scalable/apps/verificador.svg \
         usr/share/verificador/Styles/Office2007.qss \
         usr/share/doc/verificador/copyright \
         etc/logrotate.d/verificador \
         $ejemplos/servidores.ini $ejemplos/verificador.service $ejemplos/verificador-falla.service \
         $ejemplos/verificador.timer; do
  [ -f "$root/$f" ] || falla "el paquete no tiene /$f"
done
# The programs only: no test, benchmark or other tool of the build tree.
extra=$(cd "$root/usr/bin" && ls | grep -vxE 'verificador|verificador-demo' || true)
[ -z "$extra" ] || falla "sobran en /usr/bin: $extra"
desktop-file-validate "$root/usr/share/applications/verificador.desktop" || falla "desktop-file-validate"

version=$("$root/usr/bin/verificador" --version </dev/null 2>&1) || falla "--version termino con error: $version"
case "$version" in verificador\ *) ;; *) falla "--version dijo: $version" ;; esac

# Runs as a scheduler does, with the unpacked programs first in PATH.
corre() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u VERIFICADOR_SERVIDORES -u VERIFICADOR_UNIDADES \
    -u VERIFICADOR_CARPETA -u TMPDIR PATH="$root/usr/bin:$PATH" HOME="$tmp/casa" timeout 60 "$@" </dev/null
}
# The last sh (or other) block of a README section.
bloque() {
  awk -v s="$1" -v t="$2" '$0 == s { d = 1; next } d && /^## / { exit }
    d && $0 ~ "^ *```" t "$" { b = ""; e = 1; next } d && e && /^ *```$/ { u = b; e = 0; next }
    e { sub(/^  /, ""); b = b $0 "\n" } END { printf "%s", u }' "$readme"
}
linea_producto='^[^;]*;[^;]+;[^;]*;0$'

# The README's first commands after apt install: demo database, export, a look.
mkdir -p "$tmp/casa"
comandos=$(bloque "## Installing" sh)
[ "$(grep -c . <<<"$comandos")" -eq 3 ] || falla "Installing no termina en tres órdenes: $comandos"
corre bash -ec "$comandos" >"$tmp/instalando.txt" 2>&1 || { cat "$tmp/instalando.txt" >&2; falla "las órdenes de Installing"; }
[ "$(tr -d '\r' <"$tmp/instalando.txt" | grep -cE "$linea_producto")" -eq 3 ] || { cat "$tmp/instalando.txt" >&2; falla "Installing no mostró tres artículos"; }
demo="$tmp/casa/verificador-demo"

# The extension, at the path the README gives, in the shell and in Python.
cargar=/${extension%.so}
grep -q "\.load $cargar\b" "$readme" || falla "el README no carga $cargar"
consulta="SELECT count(*) FROM V_MA_Articulos WHERE DESCRIPCION LIKE 'café%'"
cafe=$(sqlite3 -batch -bail -cmd ".load $root$cargar" "$demo/DEMO.sqlite" "$consulta") || falla "sqlite3 con la extensión"
[ "$cafe" -gt 0 ] || falla "ningún café en el shell"
[ "$(sqlite3 -batch -cmd ".load $root$cargar" "$demo/DEMO.sqlite" "${consulta/café/CAFÉ}")" = "$cafe" ] \
  || falla "LIKE no iguala mayúsculas acentuadas en el shell"
if [ -x /usr/bin/python3 ]; then
  python=$(bloque "## The embedded database" python)
  grep -q "enable_load_extension(True)" <<<"$python" || falla "el README no muestra Python"
  [ "$(cd "$demo" && /usr/bin/python3 -c "${python//"$cargar"/"$root$cargar"}")" = "$cafe" ] \
    || falla "Python con la extensión"
fi

# The example units. The service's exposure, as shipped.
cd "$tmp"
cp "$root/$ejemplos/verificador.service" "$root/$ejemplos/verificador-falla.service" .
exposicion=$(systemd-analyze security --offline=true verificador.service 2>&1 | sed -n 's/.*Overall exposure level for verificador.service: \([0-9.]*\).*/\1/p')
[ -n "$exposicion" ] || falla "systemd-analyze no dio la exposición"
awk -v e="$exposicion" 'BEGIN { exit !(e <= 3.5) }' || falla "exposición $exposicion, más de 3.5"
# Adapted as the README says (folder, parameter string), the command lines run
# as the units give them: their environment, umask and systemd's escapes.
carpeta="$tmp/carpeta"
corre verificador-demo "$carpeta" --articulos 200 >/dev/null
adapta() {
  sed -e "s#/var/lib/verificador#$carpeta#g" -e "s#/usr/bin/verificador #$root/usr/bin/verificador #" \
      -e 's/@Server=TIENDA; @DbName=EMPRESA; @Usuario=ADMIN; @Password=EMPRESA;/@Server=LOCAL; @DbName=DEMO; @Usuario=ADMIN; @Password='"$2"';/' \
      "$1"
}
# The file system as ProtectSystem=strict, ReadWritePaths= and PrivateTmp=
# leave it: every mount read-only but those folders, an empty /tmp. It needs a
# mount namespace (root, or user namespaces); without one the run is not closed in.
encierro=(unshare -m --propagation private)
[ "$(id -u)" -eq 0 ] || encierro=(unshare -rm --propagation private)
"${encierro[@]}" true 2>/dev/null || { echo "sin espacios de montajes: el servicio corre sin encierro"; encierro=(); }
[ ${#encierro[@]} -eq 0 ] || encierro+=(bash -c '
  set -e
  read -ra escribibles <<<"$1"; shift
  for d in "${escribibles[@]}"; do mount --bind "$d" "$d"; done
  mapfile -t montajes < <(awk "{ print \$5 }" /proc/self/mountinfo)
  for m in "${montajes[@]}"; do
    case " ${escribibles[*]} " in *" $m "*) continue ;; esac
    case $m in /proc | /proc/* | /sys | /sys/* | /dev | /dev/*) continue ;; esac
    mount -o remount,bind,ro "$m" 2>/dev/null || true
  done
  mount -t tmpfs tmpfs /tmp
  exec "$@"' encierro)
# Runs a unit's ExecStart= with its Environment= and UMask=; "encerrada"
# runs it closed in as above.
unidad() {
  local u=$1 entorno=() orden mascara antes=()
  mapfile -t entorno < <(sed -n 's/^Environment=//p' "$u")
  orden=$(sed -n 's/^ExecStart=//p' "$u" | sed 's/%%/%/g; s/\$\$/$/g')
  mascara=$(sed -n 's/^UMask=//p' "$u")
  [ "${2:-}" != encerrada ] || [ ${#encierro[@]} -eq 0 ] || antes=("${encierro[@]}" "$(sed -n 's/^ReadWritePaths=//p' "$u")")
  corre "${antes[@]}" env "${entorno[@]}" bash -c "umask ${mascara:-0022}; $orden"
}
adapta verificador.service DEMO >servicio.service
# Every directive known to this systemd, once the program is where the unit says.
mkdir verificar
cp servicio.service verificar/verificador.service
adapta verificador-falla.service DEMO >verificar/verificador-falla.service
cp "$root/$ejemplos/verificador.timer" verificar/
verificacion=$(cd verificar && systemd-analyze verify ./verificador.service ./verificador-falla.service ./verificador.timer 2>&1) \
  && [ -z "$verificacion" ] || falla "systemd-analyze verify: $verificacion"
grep -qx "UMask=0027" servicio.service || falla "la unidad no tiene UMask=0027"
grep -q "^ReadWritePaths=$carpeta\$" servicio.service || falla "ReadWritePaths no es la carpeta del programa"
unidad servicio.service encerrada >"$tmp/servicio.txt" 2>&1 || { cat "$tmp/servicio.txt" >&2; falla "la orden del servicio"; }
archivo="$carpeta/unidades/c/Productos/productos.txt"
[ -s "$archivo" ] || falla "el servicio no escribió $archivo"
head -1 "$archivo" | tr -d '\r' | LC_ALL=C grep -qE "$linea_producto" || falla "primera línea mal formada: $(head -1 "$archivo" | od -c | head -2)"
[ "$(stat -c %a "$archivo")" = 640 ] || falla "productos.txt con permisos $(stat -c %a "$archivo"), no 640"
# A failed run, and the failure unit's line for the journal.
adapta verificador.service MAL >fallido.service
rm -f "$carpeta/SVERR.LOG"
if unidad fallido.service >/dev/null 2>&1; then falla "el servicio con una clave errónea terminó bien"; fi
ultima=$(tail -n 1 "$carpeta/SVERR.LOG" | tr -d '\r')
por_corrida=$(wc -l <"$carpeta/SVERR.LOG")
[ -n "$ultima" ] || falla "la falla no dejó línea en SVERR.LOG"
adapta verificador-falla.service DEMO >aviso.service
grep -qx "OnFailure=verificador-falla.service" verificador.service || falla "sin OnFailure="
aviso=$(unidad aviso.service) || falla "la unidad de falla"
[ "$aviso" = "<3>verificador.service falló; último error: $ultima" ] || falla "la unidad de falla dijo: $aviso"

# The logrotate rule, applied over and over while failing runs write lines:
# every line is kept whole in the current log or a rotated one.
sed -e "s#/var/lib/verificador#$carpeta#g" -e 's/rotate 8/rotate 1000/' "$root/etc/logrotate.d/verificador" >rotacion.conf
rm -f "$carpeta"/SVERR.LOG*
corridas=40
(for _ in $(seq $corridas); do unidad fallido.service >/dev/null 2>&1 || true; done) &
escritor=$!
rotaciones=0
while kill -0 $escritor 2>/dev/null; do
  logrotate -f -s rotacion.estado rotacion.conf || falla "logrotate"
  rotaciones=$((rotaciones + 1))
  sleep 0.05
done
wait $escritor
logrotate -f -s rotacion.estado rotacion.conf
lineas() { for f in "$carpeta"/SVERR.LOG*; do case $f in *.gz) zcat "$f" ;; *) cat "$f" ;; esac; done; }
total=$(lineas | wc -l)
enteras=$(lineas | LC_ALL=C grep -cE '^[0-9]{2}[-/][0-9]{2}[-/][0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2} Rutina: .*'$'\r''$' || true)
[ "$total" -eq $((corridas * por_corrida)) ] || falla "logrotate: $total líneas de $corridas corridas de $por_corrida"
[ "$enteras" -eq "$total" ] || falla "logrotate: $((total - enteras)) líneas cortadas"
[ "$(ls "$carpeta"/SVERR.LOG.* | wc -l)" -gt 2 ] || falla "logrotate no rotó"

echo "paquete $(basename "$deb"): exposición $exposicion, $total líneas en $rotaciones rotaciones"
