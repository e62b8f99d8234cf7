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
# Tabuleo's timetable for the example school, SOLUC, put beside the tables just exported; the
# import writes its result beside the exchange document, so it works on a copy in the drive.
echo
echo "== Importar: el horario de Tabuleo (SOLUC) -> documento de resultado =="
/usr/bin/python3 "$root/examples/make_soluc.py" "$root/examples/soluc.csv" "$xtemp/SOLUC.DBF"
datos="$WINEPREFIX/drive_c/datos"
mkdir -p "$datos"
cp "$documento" "$datos/centro.xml"
"$transorbeta" importar "$datos/centro.xml"

# The status block and the first teacher with two of the sessions, as Ardel will read them.
resultado="$datos/ResultadoOrbetacentro.xml"
echo
echo "== Extracto de $resultado =="
/usr/bin/python3 -c '
import sys, xml.etree.ElementTree as ET
salidas = ET.parse(sys.argv[1]).getroot().find("SALIDAS")
def mostrar(elemento, nivel, sesiones):
    sangria = "  " * nivel
    if elemento.tag == "salida":
        print(sangria + elemento.get("dato") + ": " + (elemento.text or ""))
        return
    print(sangria + (elemento.get("seq") or elemento.tag))
    hijos = list(elemento)
    tramos = [h for h in hijos if h.tag == "listasal"]
    for hijo in hijos:
        if hijo not in tramos[sesiones:]:
            mostrar(hijo, nivel + 1, sesiones)
    if len(tramos) > sesiones:
        print(sangria + "  ... (%d sesiones más)" % (len(tramos) - sesiones))
mostrar(salidas.find("ERROR"), 0, 0)
mostrar(salidas.find("listasal"), 0, 2)
' "$resultado"
