#include <string>
#include <unordered_map>

#include "exchange/exchange_document.h"
#include "export/fila.h"
#include "export/pasos.h"
#include "platform/ansi.h"
#include "tables/definitions.h"

namespace toa::exportar {
namespace {

tables::Table crearCursos(const xml::Document& docXML) {
    tables::Table CURSOST(tables::CURSOST);
    for (const exchange::Entry& entrada : exchange::selectEntries(docXML, exchange::kCursos)) {
        if (!entrada.used()) continue;
        const std::string& nivel = entrada.item(3);
        Fila(CURSOST)
            .texto("CLAVE", entrada.item(0))
            .texto("NIVEL", nivel.empty() ? "NIV" : nivel)
            .texto("CURSO", entrada.item(4));
    }
    return CURSOST;
}

// Course rows by CLAVE as read back, so that a key longer than the field finds nothing; the
// first of two equal keys wins, as a walk from the first row would find it.
std::unordered_map<std::string, std::size_t> indiceCursos(const tables::Table& CURSOST) {
    std::unordered_map<std::string, std::size_t> indice;
    for (std::size_t fila = 0; fila < CURSOST.recordCount(); ++fila) {
        indice.try_emplace(leido(CURSOST, fila, "CLAVE"), fila);
    }
    return indice;
}

}  // namespace

CursosGrupos CrearCursosGrupos(const xml::Document& docXML) {
    tables::Table CURSOST = crearCursos(docXML);
    const auto cursos = indiceCursos(CURSOST);
    tables::Table GRUPOST(tables::GRUPOST);
    ListaCodigos usados;
    for (const exchange::Entry& entrada : exchange::selectEntries(docXML, exchange::kGrupos)) {
        if (!entrada.used()) continue;
        const std::string_view nombre = entrada.item(1);
        const std::string& claveCurso = entrada.item(2);
        // GRUPO is the last character of the whole name, before the field cuts anything.
        const std::string_view grupo = nombre.empty() ? nombre : nombre.substr(nombre.size() - 1);
        Fila fila(GRUPOST);
        fila.texto("ABREV", CodigoUnico(trimControls(nombre.substr(0, 4)), 3, usados))
            .texto("GRUPO", grupo)
            .texto("CLAVE", entrada.item(0))
            .texto("CLAVECURSO", claveCurso);
        // A group whose course is not found keeps NIVEL and CURSO empty; TURNO stays empty.
        if (const auto curso = cursos.find(claveCurso); curso != cursos.end()) {
            fila.texto("NIVEL", leido(CURSOST, curso->second, "NIVEL"))
                .texto("CURSO", leido(CURSOST, curso->second, "CURSO"));
        }
    }
    return {std::move(CURSOST), std::move(GRUPOST)};
}

}  // namespace toa::exportar
