#pragma once
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/xml_document.h"

// The exchange document of the administration system: its lists, entries and items.
namespace toa::exchange {

inline constexpr std::string_view kMaterias = "MATERIAS";
inline constexpr std::string_view kTareas = "TAREAS";
inline constexpr std::string_view kProfesores = "PROFESORES";
inline constexpr std::string_view kAulas = "AULAS";
inline constexpr std::string_view kCursos = "CURSOS";
inline constexpr std::string_view kGrupos = "GRUPOS";
inline constexpr std::string_view kIntervalos = "INTERVALOS";

// One entry of a list: its item values in order, each trimmed and converted to 8-bit text.
struct Entry {
    std::vector<std::string> items;

    // Entries with fewer than two items yield no row and take no code.
    bool used() const { return items.size() >= 2; }
    // The value of the item at `position`; an item the entry lacks reads as empty text.
    const std::string& item(std::size_t position) const;
};

// The entries of every list named `listName`, in document order (none when there is no list).
std::vector<Entry> selectEntries(const xml::Document& doc, std::string_view listName);

// One entry of "INTERVALOS", read by `dato`: the later of two equal `dato` wins, other items and
// items without `dato` are ignored. Values are 8-bit text, trimmed.
struct Interval {
    std::string codigoArdel;  // "CODIGO_ARDEL"
    std::string nombre;       // "NOMBRE"
    std::string inicio;       // "INICIO"
    std::string fin;          // "FIN"
    std::string orden;        // "ORDEN"
};
std::vector<Interval> readIntervals(const xml::Document& doc);

// Loads the exchange document the user chose. A document that does not parse raises an Error
// in Spanish naming the file with the parser's line and column, before any table is touched.
// Loaded for reading (xml::Document::loadForReading): the export reads it, nothing saves it.
xml::Document loadExchangeDocument(const std::filesystem::path& path);

}  // namespace toa::exchange
