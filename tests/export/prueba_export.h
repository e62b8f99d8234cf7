#pragma once
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "exchange/xml_document.h"
#include "tables/dbase_table.h"

// Helpers of the export tests: small exchange documents, tables as text, a drive of their own.
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

// The bytes of every file of a folder, by file name.
std::map<std::string, std::string> contenido(const std::filesystem::path& carpeta);
std::string leerArchivo(const std::filesystem::path& archivo);
void escribirArchivo(const std::filesystem::path& archivo, std::string_view bytes);

// A Wine drive in a temporary folder with C:\XTEMP, named by WINEPREFIX while it lives.
class UnidadTemporal {
  public:
    UnidadTemporal();
    ~UnidadTemporal();
    UnidadTemporal(const UnidadTemporal&) = delete;
    UnidadTemporal& operator=(const UnidadTemporal&) = delete;

    const std::filesystem::path& prefijo() const { return prefijo_; }
    std::filesystem::path xtemp() const { return prefijo_ / "drive_c" / "XTEMP"; }

  private:
    std::filesystem::path prefijo_;
    std::string anterior_;
    bool habiaAnterior_ = false;
};

}  // namespace toa::exportar::prueba
