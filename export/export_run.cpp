#include "export/export_run.h"

#include <utility>

#include "export/pasos.h"
#include "platform/paths.h"
#include "tables/dbase_file.h"
#include "tables/table_files.h"

namespace toa::exportar {

ExportTables buildExportTables(const xml::Document& docXML) {
    // Step 2 appends to step 1's table with step 1's lists; step 7 reads steps 1, 2 and 6.
    CodigosAsignaturas codigos;
    tables::Table ASIGNOMT = CrearAsignaturas(docXML, codigos);
    AnadirTareas(docXML, codigos, ASIGNOMT);
    tables::Table ASIGNOMT2 = CrearAsignaturasCurso(docXML);
    tables::Table PROFT = CrearProfesores(docXML);
    tables::Table AULAT = CrearAulas(docXML);
    CursosGrupos cursosGrupos = CrearCursosGrupos(docXML);
    tables::Table ASIGT = CrearAsignaciones(docXML, cursosGrupos.GRUPOST, ASIGNOMT);
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

// Raises the engine's "en uso" error for the first table another program holds, so that a run
// refused for a table in use changes none of the others.
void comprobarQueNingunaEstaEnUso(const std::filesystem::path& folder,
                                  const std::vector<const tables::Table*>& tablas) {
    for (const tables::Table* tabla : tablas) {
        const auto archivos = tables::filesNamed(folder, tabla->name() + ".DBF");
        // Taken and let go at once: replaceTable holds each file again while it replaces it.
        if (!archivos.empty()) const tables::HeldFile libre(archivos.front(), tabla->name());
    }
}

}  // namespace

void writeExportTables(const std::filesystem::path& folder, const ExportTables& tablas) {
    const std::vector<const tables::Table*> enSuOrden = enOrden(tablas);
    comprobarQueNingunaEstaEnUso(folder, enSuOrden);
    for (const tables::Table* tabla : enSuOrden) tables::replaceTable(folder, *tabla);
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
