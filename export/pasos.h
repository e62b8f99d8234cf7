#pragma once
#include <vector>

#include "exchange/exchange_document.h"
#include "exchange/xml_document.h"
#include "export/codigo_unico.h"
#include "tables/dbase_table.h"

// The eight steps of the export run. Each builds its tables in memory from its lists; nothing
// is written until all of them are complete.
namespace toa::exportar {

// The lists that several steps read, selected once per run: nothing changes the document
// between the steps.
using Entradas = std::vector<exchange::Entry>;

// The lists that steps 1 and 2 share: the short codes given out and the long codes met.
struct CodigosAsignaturas {
    ListaCodigos CodigosCortos;
    ListaCodigos CodigosLargos;
};

// Steps 1 and 2: ASIGNOMT, the subjects of "MATERIAS" and then the tasks of "TAREAS".
tables::Table CrearAsignaturas(const Entradas& materias, CodigosAsignaturas& codigos);
void AnadirTareas(const Entradas& tareas, CodigosAsignaturas& codigos, tables::Table& ASIGNOMT);

// Step 3: ASIGNOMT2, every subject and task with its course key or task mark.
tables::Table CrearAsignaturasCurso(const Entradas& materias, const Entradas& tareas);

// Steps 4 and 5: PROFT from "PROFESORES", AULAT from "AULAS".
tables::Table CrearProfesores(const xml::Document& docXML);
tables::Table CrearAulas(const xml::Document& docXML);

// Step 6: CURSOST from "CURSOS", GRUPOST from "GRUPOS".
struct CursosGrupos {
    tables::Table CURSOST;
    tables::Table GRUPOST;
};
CursosGrupos CrearCursosGrupos(const xml::Document& docXML);

// Step 7: ASIGT, one row per subject and group of its course, from the tables of steps 1, 2, 6.
tables::Table CrearAsignaciones(const Entradas& materias, const tables::Table& GRUPOST,
                                const tables::Table& ASIGNOMT);

// Step 8: DIASHORAST, seven days of every interval of "INTERVALOS".
tables::Table CrearTramos(const xml::Document& docXML);

}  // namespace toa::exportar
