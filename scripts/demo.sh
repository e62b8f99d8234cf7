#!/usr/bin/env bash
# The main job on the example school, in a demonstration drive inside the build folder.
# Builds nothing: give it the build folder that holds cli/transorbeta.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
transorbeta="$build/cli/transorbeta"
documento="$root/examples/centro.xml"

# C:\ of the demonstration is the Wine drive inside the build folder; its C:\XTEMP starts empty.
export WINEPREFIX="$build/demo-wine"
xtemp="$WINEPREFIX/drive_c/XTEMP"
rm -rf "$xtemp"
mkdir -p "$xtemp"

# One table as text: the field names, then every row as Tabuleo reads it.
mostrar_tabla() {
    echo
    echo "== $1 =="
    /usr/bin/python3 -c '
import sys, dbfread
tabla = dbfread.DBF(sys.argv[1], encoding="cp1252", char_decode_errors="replace")
print(" | ".join(tabla.field_names))
for fila in tabla:
    print(" | ".join("" if v is None else str(v) for v in fila.values()))
' "$xtemp/$1.DBF"
}

echo "== Exportar: $documento -> C:\\XTEMP ($xtemp) =="
"$transorbeta" exportar "$documento"
mostrar_tabla ASIGNOMT
mostrar_tabla GRUPOST

# == Importar ==
# (the import's part of the demonstration goes here, on the tables just exported)
