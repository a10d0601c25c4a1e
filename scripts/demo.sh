#!/usr/bin/env bash
# Builds, creates the demo database (embedded server LOCAL, database DEMO) in
# demo/, and runs the unattended export into the folder the database names.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/preparar.sh --target verificador generar_demo

demo="$PWD/demo"
rm -rf "$demo"
mkdir -p "$demo"
build/tools/verificador-demo "$demo" --articulos "${ARTICULOS:-10000}"

# The program folder holds servidores.ini, SVERR.LOG and the drive mapping:
# the stored folder C:\Productos is demo/unidades/c/Productos.
export VERIFICADOR_CARPETA="$demo"
set +e
build/verificador --consola "@Server=LOCAL; @DbName=DEMO; @Usuario=ADMIN; @Password=DEMO; @ParametroAdicional=1;"
estado=$?
set -e
archivo="$demo/unidades/c/Productos/productos.txt"
echo
echo "Estado de salida: $estado"
if [ -f "$archivo" ]; then
  echo "Archivo: $archivo ($(wc -l < "$archivo") lineas)"
  head -5 "$archivo" | iconv -f WINDOWS-1252 -t UTF-8 | tr -d '\r'
fi
exit $estado
