#pragma once
#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

#include "exchange/xml_document.h"
#include "tables/table_component.h"

// The import run: the timetable SOLUC back into the administration system's keys.
namespace toa::importar {

// The nine table components of the window, bound to "c:\xtemp"; every run opens them itself,
// in this order, and closes them at its end, also when it fails.
struct TablasImportacion {
    tables::TableComponent wwTableSoluc{"c:\\xtemp", "SOLUC"};
    tables::TableComponent wwTableGrupos{"c:\\xtemp", "GRUPOST"};
    tables::TableComponent wwTableCursos{"c:\\xtemp", "CURSOST"};
    tables::TableComponent wwTableProfesor{"c:\\xtemp", "PROFT"};
    tables::TableComponent wwTableAulas{"c:\\xtemp", "AULAT"};
    tables::TableComponent wwTableNomAsg{"c:\\xtemp", "ASIGNOMT"};
    tables::TableComponent wwTableNOMASG2{"c:\\xtemp", "ASIGNOMT2"};
    tables::TableComponent wwTableTramos{"c:\\xtemp", "DIASHORAST"};
    tables::TableComponent wwTableAsig{"c:\\xtemp", "ASIGT"};
};

// The nine components in the order the run opens them, and closes them.
std::array<tables::TableComponent*, 9> enOrden(TablasImportacion& tablas);

struct ImportSummary {
    std::filesystem::path resultado;  // the result document written
    std::size_t profesores = 0;       // teacher entries
    std::size_t sesiones = 0;         // session entries
};

// "ResultadoOrbeta" put before the file name: the folder part ends at the last '\', ':' or,
// off Windows, '/'. 'C:\datos\centro.xml' gives 'C:\datos\ResultadoOrbetacentro.xml'.
std::string nombreResultado(const std::string& archivoXML);

// The run on the exchange document `archivoXML` (an existing file, as the user named it). Leaves
// in `docXML` the document with its SALIDAS replaced by the new, empty one: the result block goes
// straight into the result file as the tables are read, so neither the input lists nor the block
// are ever held in memory, and the tables close once that file is complete. Saves the result
// document atomically; the exchange document is never written. A failure (a document that does
// not parse or has no SALIDAS, a table that is missing, in use or lacks a field, a result that
// cannot be written) raises an Error naming what failed; the tables are closed by then and no
// result file is written.
ImportSummary runImport(const std::string& archivoXML, TablasImportacion& tablas,
                        std::optional<xml::Document>& docXML);

}  // namespace toa::importar
