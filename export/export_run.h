#pragma once
#include <cstddef>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "exchange/xml_document.h"
#include "tables/dbase_table.h"

// The export run: the exchange document into the eight tables of the timetabling program.
namespace toa::exportar {

// The eight tables of one run, in the order the steps build them.
struct ExportTables {
    tables::Table ASIGNOMT;
    tables::Table ASIGNOMT2;
    tables::Table PROFT;
    tables::Table AULAT;
    tables::Table CURSOST;
    tables::Table GRUPOST;
    tables::Table ASIGT;
    tables::Table DIASHORAST;
};

// Steps 1 to 8 in memory, in their fixed order. Raises the steps' errors (a minutes or time text
// that is not an integer: "'%s' no es un valor entero válido") before any file is touched.
ExportTables buildExportTables(const xml::Document& docXML);

// Writes the eight tables into `folder`: all are written before any replaces its old file, so a
// table in use or a failed write leaves every table as it was; the stale .MDX files are deleted.
void writeExportTables(const std::filesystem::path& folder, const ExportTables& tables);

// Table name and row count, in the order written.
using ExportSummary = std::vector<std::pair<std::string, std::size_t>>;

// The whole run on a loaded document: build, then write into C:\XTEMP (an Error naming the
// folder when it is missing). A run that fails changes no file.
ExportSummary runExport(const xml::Document& docXML);

}  // namespace toa::exportar
