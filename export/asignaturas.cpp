#include "exchange/exchange_document.h"
#include "export/fila.h"
#include "export/pasos.h"
#include "tables/definitions.h"

namespace toa::exportar {
namespace {

// Every long code stands in one row at most: a repeated one, from a subject or a task, is
// skipped before it takes a short code.
void anadirFila(const exchange::Entry& entrada, bool esTarea, CodigosAsignaturas& codigos,
                tables::Table& ASIGNOMT) {
    const std::string& codLargo = entrada.item(2);
    if (codigos.CodigosLargos.contiene(codLargo)) return;
    codigos.CodigosLargos.anadir(codLargo);
    const std::string cod =
        CodigoUnico(std::string_view(codLargo).substr(0, 4), 3, codigos.CodigosCortos);
    Fila fila(ASIGNOMT);
    fila.texto("COD", cod).texto("CODLARGO", codLargo).texto("NOMBRE", entrada.item(1));
    if (esTarea) fila.texto("CODTAREA", entrada.item(0));
    fila.logico("ESTAREA", esTarea);
}

void anadirLista(const Entradas& lista, bool esTareas, CodigosAsignaturas& codigos,
                 tables::Table& ASIGNOMT) {
    for (const exchange::Entry& entrada : lista) {
        if (entrada.used()) anadirFila(entrada, esTareas, codigos, ASIGNOMT);
    }
}

}  // namespace

tables::Table CrearAsignaturas(const Entradas& materias, CodigosAsignaturas& codigos) {
    tables::Table ASIGNOMT(tables::ASIGNOMT);
    anadirLista(materias, false, codigos, ASIGNOMT);
    return ASIGNOMT;
}

void AnadirTareas(const Entradas& tareas, CodigosAsignaturas& codigos, tables::Table& ASIGNOMT) {
    anadirLista(tareas, true, codigos, ASIGNOMT);
}

}  // namespace toa::exportar
