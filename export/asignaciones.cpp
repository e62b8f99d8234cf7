#include "export/asignaciones.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "exchange/exchange_document.h"
#include "export/fila.h"
#include "export/pasos.h"
#include "platform/ansi.h"
#include "platform/conversion.h"
#include "tables/definitions.h"

namespace toa::exportar {
namespace {

constexpr int kSesionesSencillas = 13;

// The tables are searched by their fields as read back, so an index built once finds what a walk
// from the first row would: all group rows of a course in table order, and the first task row
// of a task key.
using IndiceGrupos = std::unordered_map<std::string, std::vector<std::size_t>>;

IndiceGrupos gruposPorCurso(const tables::Table& GRUPOST) {
    IndiceGrupos indice;
    for (std::size_t fila = 0; fila < GRUPOST.recordCount(); ++fila) {
        indice[leido(GRUPOST, fila, "CLAVECURSO")].push_back(fila);
    }
    return indice;
}

std::unordered_map<std::string, std::string> codigosDeTareas(const tables::Table& ASIGNOMT) {
    std::unordered_map<std::string, std::string> codigos;
    for (std::size_t fila = 0; fila < ASIGNOMT.recordCount(); ++fila) {
        codigos.try_emplace(leido(ASIGNOMT, fila, "CODTAREA"), leido(ASIGNOMT, fila, "COD"));
    }
    return codigos;
}

}  // namespace

int horasAsignatura(std::string_view minutos) {
    if (minutos.empty()) return 1;
    const std::int64_t m = decimalInteger(minutos);
    const std::int64_t horas = m >= 0 ? (m + 59) / 60 : -(-m / 60);
    return horas < 1 ? 1 : static_cast<int>(horas);
}

std::string textoSesiones(int horas) {
    if (horas <= kSesionesSencillas) return std::string(static_cast<std::size_t>(horas), '1');
    return std::to_string(horas - kSesionesSencillas) + std::string(kSesionesSencillas, '1');
}

std::string_view claveTarea(std::string_view nombre) {
    const std::string mayusculas = upperAsciiLetters(nombre);
    if (mayusculas.find("BIBLIO") != std::string::npos) return "286";
    if (mayusculas.find("GUARD") != std::string::npos) return "281";
    return "156";
}

tables::Table CrearAsignaciones(const Entradas& materias, const tables::Table& GRUPOST,
                                const tables::Table& ASIGNOMT) {
    tables::Table ASIGT(tables::ASIGT);
    const IndiceGrupos grupos = gruposPorCurso(GRUPOST);
    const auto tareas = codigosDeTareas(ASIGNOMT);
    // Each group's row of every subject of its course: the fields are found once, not per row.
    const auto campo = [&](std::string_view nombre) { return ASIGT.fieldIndex(nombre); };
    const std::size_t casig = campo("CASIG"), cgrup = campo("CGRUP"), nivel = campo("NIVEL"),
                      curso = campo("CURSO"), grupo = campo("GRUPO"), horasCampo = campo("HORAS"),
                      sesionesCampo = campo("SESIONES"), clave = campo("CLAVE"),
                      claveCurso = campo("CLAVECURSO"), ctarea = campo("CTAREA");
    const std::size_t abrev = GRUPOST.fieldIndex("ABREV"), nivelGrupo = GRUPOST.fieldIndex("NIVEL"),
                      cursoGrupo = GRUPOST.fieldIndex("CURSO"),
                      grupoGrupo = GRUPOST.fieldIndex("GRUPO");
    for (const exchange::Entry& entrada : materias) {
        if (!entrada.used()) continue;
        const auto delCurso = grupos.find(entrada.item(3));
        // A subject of a course without groups yields nothing, not even a minutes error.
        if (delCurso == grupos.end()) continue;
        const int horas = horasAsignatura(entrada.item(4));
        const std::string sesiones = textoSesiones(horas);
        const auto tarea = tareas.find(std::string(claveTarea(entrada.item(1))));
        for (const std::size_t filaGrupo : delCurso->second) {
            // CPROF, CAULA and TURNO stay empty.
            Fila fila(ASIGT);
            fila.texto(casig, entrada.item(2))
                .texto(cgrup, GRUPOST.asString(filaGrupo, abrev))
                .texto(nivel, GRUPOST.asString(filaGrupo, nivelGrupo))
                .texto(curso, GRUPOST.asString(filaGrupo, cursoGrupo))
                .texto(grupo, GRUPOST.asString(filaGrupo, grupoGrupo))
                .numero(horasCampo, horas)
                .texto(sesionesCampo, sesiones)
                .texto(clave, entrada.item(0))
                .texto(claveCurso, entrada.item(3));
            if (tarea != tareas.end()) fila.texto(ctarea, tarea->second);
        }
    }
    return ASIGT;
}

}  // namespace toa::exportar
