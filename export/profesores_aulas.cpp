#include "exchange/exchange_document.h"
#include "export/fila.h"
#include "export/pasos.h"
#include "platform/ansi.h"
#include "tables/definitions.h"

namespace toa::exportar {

tables::Table CrearProfesores(const xml::Document& docXML) {
    tables::Table PROFT(tables::PROFT);
    ListaCodigos usados;
    for (const exchange::Entry& entrada : exchange::selectEntries(docXML, exchange::kProfesores)) {
        if (!entrada.used()) continue;
        // The whole abbreviation is the candidate: its stored form decides the clash.
        Fila(PROFT)
            .texto("ABREV", CodigoUnico(entrada.item(3), 3, usados))
            .texto("NOMBRE", entrada.item(2))
            .texto("X_EMPLEADO", entrada.item(0))
            .texto("F_TOMAPOS", entrada.item(1));
    }
    return PROFT;
}

tables::Table CrearAulas(const xml::Document& docXML) {
    tables::Table AULAT(tables::AULAT);
    ListaCodigos usados;
    for (const exchange::Entry& entrada : exchange::selectEntries(docXML, exchange::kAulas)) {
        if (!entrada.used()) continue;
        // An empty abbreviation stays the candidate: '' first, then '1', '2' ...
        const std::string_view candidato =
            trimControls(std::string_view(entrada.item(2)).substr(0, 4));
        Fila(AULAT)
            .texto("ABREV", CodigoUnico(candidato, 2, usados))
            .texto("NOMBRE", entrada.item(1))
            .texto("DEPCENTRO", entrada.item(0));
    }
    return AULAT;
}

}  // namespace toa::exportar
