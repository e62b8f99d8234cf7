#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "exchange/xml_document.h"
#include "tables/dbase_table.h"
#include "tables/definitions.h"
#include "tests/support/archivos.h"
#include "tests/support/unidad_c.h"

// Fixtures of the import tests: a drive C: of their own, small tables, and a compact outline of
// a result block.
namespace toa::importar::prueba {

// A field value: 8-bit text, or a number for the numeric fields.
using Valor = std::variant<std::string, double>;
using Fila = std::vector<std::pair<std::string_view, Valor>>;

tables::Table tabla(const tables::TableDef& def, const std::vector<Fila>& filas);

// Drive C: and files as bytes, shared with the other tests.
using toa::prueba::escribirArchivo;
using toa::prueba::leerArchivo;
using toa::prueba::UnidadC;

// An element as one line: an item is its text, an entry its seq with its children in
// parentheses, any other element its name with its children: "EMP_1(E1,F1,TRAMO_1(...))".
std::string esquema(xml::Node elemento);

}  // namespace toa::importar::prueba
