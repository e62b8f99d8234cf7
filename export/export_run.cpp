#include "export/export_run.h"

#include <utility>

#include "exchange/exchange_document.h"
#include "export/pasos.h"
#include "platform/paths.h"
#include "tables/dbase_file.h"

namespace toa::exportar {

ExportTables buildExportTables(const xml::Document& docXML) {
    // Step 2 appends to step 1's table with step 1's lists; step 7 reads steps 1, 2 and 6.
    const Entradas materias = exchange::selectEntries(docXML, exchange::kMaterias);
    const Entradas tareas = exchange::selectEntries(docXML, exchange::kTareas);
    CodigosAsignaturas codigos;
    tables::Table ASIGNOMT = CrearAsignaturas(materias, codigos);
    AnadirTareas(tareas, codigos, ASIGNOMT);
    tables::Table ASIGNOMT2 = CrearAsignaturasCurso(materias, tareas);
    tables::Table PROFT = CrearProfesores(docXML);
    tables::Table AULAT = CrearAulas(docXML);
    CursosGrupos cursosGrupos = CrearCursosGrupos(docXML);
    tables::Table ASIGT = CrearAsignaciones(materias, cursosGrupos.GRUPOST, ASIGNOMT);
    tables::Table DIASHORAST = CrearTramos(docXML);
    return {std::move(ASIGNOMT),
            std::move(ASIGNOMT2),
            std::move(PROFT),
            std::move(AULAT),
            std::move(cursosGrupos.CURSOST),
            std::move(cursosGrupos.GRUPOST),
            std::move(ASIGT),
            std::move(DIASHORAST)};
}

namespace {

std::vector<const tables::Table*> enOrden(const ExportTables& t) {
    return {&t.ASIGNOMT, &t.ASIGNOMT2, &t.PROFT, &t.AULAT,
            &t.CURSOST,  &t.GRUPOST,   &t.ASIGT, &t.DIASHORAST};
}

}  // namespace

void writeExportTables(const std::filesystem::path& folder, const ExportTables& tablas) {
    tables::replaceTables(folder, enOrden(tablas));
}

ExportSummary runExport(const xml::Document& docXML) {
    const std::filesystem::path folder = tablesFolder();
    const ExportTables tablas = buildExportTables(docXML);
    writeExportTables(folder, tablas);
    ExportSummary resumen;
    for (const tables::Table* tabla : enOrden(tablas)) {
        resumen.emplace_back(tabla->name(), tabla->recordCount());
    }
    return resumen;
}

}  // namespace toa::exportar
