#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "exchange/xml_document.h"
#include "tables/dbase_table.h"
#include "tests/support/archivos.h"
#include "tests/support/unidad_c.h"

// Helpers of the export tests: small exchange documents, tables as text.
namespace toa::exportar::prueba {

using Items = std::vector<std::string>;

// A list of entries read by position; items are UTF-8 text.
std::string lista(std::string_view seq, const std::vector<Items>& entradas);
// A list "INTERVALOS": each entry a series of (dato, value) items.
std::string intervalos(
    const std::vector<std::vector<std::pair<std::string, std::string>>>& entradas);
// An exchange document whose SALIDAS holds `listas`.
xml::Document documento(std::string_view listas);

// A column as read back, each value in UTF-8.
std::vector<std::string> columna(const tables::Table& tabla, std::string_view campo);
// The table as readable text: a line of field names, then one line per row with the values as
// read back (UTF-8), separated by " | ", without blanks at the end of a line.
std::string volcado(const tables::Table& tabla);

// Drive C: and files as bytes, shared with the other tests.
using toa::prueba::contenido;
using toa::prueba::escribirArchivo;
using toa::prueba::leerArchivo;
using toa::prueba::UnidadC;

}  // namespace toa::exportar::prueba
