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

// Fixtures of the import tests: a drive C: of their own, small tables, and a compact outline of
// a result block.
namespace toa::importar::prueba {

// A field value: 8-bit text, or a number for the numeric fields.
using Valor = std::variant<std::string, double>;
using Fila = std::vector<std::pair<std::string_view, Valor>>;

tables::Table tabla(const tables::TableDef& def, const std::vector<Fila>& filas);

// A temporary folder with drive_c/XTEMP, made the process's WINEPREFIX while it lives.
class UnidadC {
  public:
    UnidadC();
    ~UnidadC();
    UnidadC(const UnidadC&) = delete;
    UnidadC& operator=(const UnidadC&) = delete;

    const std::filesystem::path& raiz() const { return raiz_; }
    std::filesystem::path xtemp() const { return raiz_ / "drive_c" / "XTEMP"; }

  private:
    std::filesystem::path raiz_;
};

std::string leer(const std::filesystem::path& archivo);
void escribir(const std::filesystem::path& archivo, std::string_view bytes);

// An element as one line: an item is its text, an entry its seq with its children in
// parentheses, any other element its name with its children: "EMP_1(E1,F1,TRAMO_1(...))".
std::string esquema(xml::Node elemento);

}  // namespace toa::importar::prueba
