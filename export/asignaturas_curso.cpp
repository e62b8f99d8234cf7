#include "exchange/exchange_document.h"
#include "export/fila.h"
#include "export/pasos.h"
#include "tables/definitions.h"

namespace toa::exportar {

// Unlike ASIGNOMT, every used entry gives a row, and COD is the plain prefix of the long code,
// which the import uses as a filter.
tables::Table CrearAsignaturasCurso(const Entradas& materias, const Entradas& tareas) {
    tables::Table ASIGNOMT2(tables::ASIGNOMT2);
    for (const bool esTareas : {false, true}) {
        for (const exchange::Entry& entrada : esTareas ? tareas : materias) {
            if (!entrada.used()) continue;
            const std::string& codLargo = entrada.item(2);
            Fila fila(ASIGNOMT2);
            fila.texto("COD", std::string_view(codLargo).substr(0, 4))
                .texto("CODLARGO", codLargo)
                .texto("NOMBRE", entrada.item(1))
                .texto("MATERIA", entrada.item(0))
                .texto(esTareas ? "ALECTIVA" : "CLAVECURSO", entrada.item(3));
        }
    }
    return ASIGNOMT2;
}

}  // namespace toa::exportar
