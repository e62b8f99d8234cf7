#pragma once
#include <cstddef>
#include <filesystem>
#include <string>

#include "export/export_run.h"
#include "tables/dbase_table.h"

// A large synthetic school for the benchmarks, deterministic for a given scale.
namespace toa::bench {

// The exchange document (UTF-8 text) of a school the way the administration system writes it.
// Scale 1: 150 teachers, 2,000 subject entries, 120 groups in 40 courses, 30 tasks (among them
// "156", "281" and "286"), 60 rooms and 40 intervals; scale n has n times as many of each.
// Codes clash as real ones do: the subjects of every course share their first four characters
// with those of the other courses, teachers' abbreviations with each other's, rooms' and groups'
// names too. Past scale 10, where four characters can number no more clashes, each further
// block of ten scales gets codes that clash with nothing.
std::string schoolDocument(int scale);

// The rows of the school's SOLUC at a scale: 6,000 per scale.
std::size_t solucRows(int scale);

// The timetable a timetabling program would compute for the school whose tables these are:
// every teacher, room and assignment used, one row in eleven not placed (day 0), one in seven
// for a group the subject is not taught in, so that the subject fallback runs too.
tables::Table schoolSoluc(const exportar::ExportTables& school, std::size_t rows);

// The school of a scale ready for an import: `root`/centro.xml, and in `root`/drive_c/XTEMP its
// eight tables and its SOLUC of `rows` rows. Returns the document's path.
std::filesystem::path prepareSchool(const std::filesystem::path& root, int scale, std::size_t rows);

}  // namespace toa::bench
