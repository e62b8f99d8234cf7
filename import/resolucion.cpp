#include "import/resolucion.h"

#include <functional>
#include <optional>

#include "import/bloque_resultado.h"
#include "platform/ansi.h"

namespace toa::importar {
namespace {

using tables::Table;

// Among rows with equal keys the first in record order is the one a scan would stop at.
template <class Indice, class Clave>
Indice indexar(const Table& tabla, Clave clave) {
    Indice indice;
    indice.reserve(tabla.recordCount());
    for (std::size_t fila = 0; fila < tabla.recordCount(); ++fila) {
        indice.try_emplace(clave(fila), fila);
    }
    return indice;
}

template <class Indice, class Clave>
std::optional<std::size_t> buscar(const Indice& indice, const Clave& clave) {
    const auto encontrada = indice.find(clave);
    if (encontrada == indice.end()) return std::nullopt;
    return encontrada->second;
}

bool vacioRecortado(std::string_view texto) {
    return trimControls(texto).empty();
}

}  // namespace

std::string claveTramo(std::string_view diaTexto, std::int32_t hora) {
    return std::string(diaTexto) + std::to_string(hora);
}

std::size_t Resolucion::ParHash::operator()(const std::pair<std::string, std::string>& par) const {
    const std::size_t primero = std::hash<std::string>{}(par.first);
    const std::size_t segundo = std::hash<std::string>{}(par.second);
    return primero ^ (segundo + 0x9e3779b97f4a7c15ULL + (primero << 6) + (primero >> 2));
}

Resolucion::Resolucion(const TablasBusqueda& tablas) : tablas_(tablas) {
    const Table& asigt = tablas.asigt;
    const std::size_t casig = asigt.fieldIndex("CASIG");
    const std::size_t cgrup = asigt.fieldIndex("CGRUP");
    asigtClave_ = asigt.fieldIndex("CLAVE");
    asignaciones_ = indexar<IndicePar>(asigt, [&](std::size_t fila) {
        return std::pair(asigt.asString(fila, casig), asigt.asString(fila, cgrup));
    });

    const Table& asignomt = tablas.asignomt;
    const std::size_t cod = asignomt.fieldIndex("COD");
    asignomtCodTarea_ = asignomt.fieldIndex("CODTAREA");
    tareas_ =
        indexar<Indice>(asignomt, [&](std::size_t fila) { return asignomt.asString(fila, cod); });

    const Table& grupost = tablas.grupost;
    const std::size_t abrevGrupo = grupost.fieldIndex("ABREV");
    grupostClave_ = grupost.fieldIndex("CLAVE");
    grupostClaveCurso_ = grupost.fieldIndex("CLAVECURSO");
    grupos_ = indexar<Indice>(grupost,
                              [&](std::size_t fila) { return grupost.asString(fila, abrevGrupo); });

    // The fallback looks among the rows whose COD is the subject's code for the first with the
    // group's course key: the first row with both.
    const Table& asignomt2 = tablas.asignomt2;
    const std::size_t cod2 = asignomt2.fieldIndex("COD");
    const std::size_t claveCurso2 = asignomt2.fieldIndex("CLAVECURSO");
    asignomt2Alectiva_ = asignomt2.fieldIndex("ALECTIVA");
    asignomt2Materia_ = asignomt2.fieldIndex("MATERIA");
    asignaturasCurso_ = indexar<IndicePar>(asignomt2, [&](std::size_t fila) {
        return std::pair(asignomt2.asString(fila, cod2), asignomt2.asString(fila, claveCurso2));
    });

    const Table& diashorast = tablas.diashorast;
    const std::size_t diho = diashorast.fieldIndex("DIHO");
    diashorastDia_ = diashorast.fieldIndex("DIA");
    diashorastCodDiho_ = diashorast.fieldIndex("CODDIHO");
    tramos_ = indexar<Indice>(diashorast,
                              [&](std::size_t fila) { return diashorast.asString(fila, diho); });

    const Table& aulat = tablas.aulat;
    const std::size_t abrevAula = aulat.fieldIndex("ABREV");
    aulatDepCentro_ = aulat.fieldIndex("DEPCENTRO");
    aulas_ =
        indexar<Indice>(aulat, [&](std::size_t fila) { return aulat.asString(fila, abrevAula); });
}

Sesion Resolucion::resolver(const FilaSoluc& fila) const {
    Sesion sesion;
    std::string claveCurso;

    if (const auto asignacion = buscar(asignaciones_, std::pair(fila.asig, fila.codgrupo))) {
        sesion.materia = tablas_.asigt.asString(*asignacion, asigtClave_);
    }

    // A task row with an empty CODTAREA empties the activity: the row's value is replaced.
    sesion.actividad = fila.tarea;
    if (const auto tarea = buscar(tareas_, fila.tarea)) {
        sesion.actividad = tablas_.asignomt.asString(*tarea, asignomtCodTarea_);
    }

    if (const auto grupo = buscar(grupos_, fila.codgrupo)) {
        sesion.unidad = tablas_.grupost.asString(*grupo, grupostClave_);
        claveCurso = tablas_.grupost.asString(*grupo, grupostClaveCurso_);
    }

    if (vacioRecortado(sesion.materia)) {
        if (const auto asignatura = buscar(asignaturasCurso_, std::pair(fila.asig, claveCurso))) {
            const Table& asignomt2 = tablas_.asignomt2;
            sesion.materia = vacioRecortado(asignomt2.asString(*asignatura, asignomt2Alectiva_))
                                 ? std::string()
                                 : asignomt2.asString(*asignatura, asignomt2Materia_);
        }
    }

    if (const auto tramo = buscar(tramos_, claveTramo(fila.dia, fila.hora))) {
        sesion.dia = tablas_.diashorast.asString(*tramo, diashorastDia_);
        sesion.tramo = tablas_.diashorast.asString(*tramo, diashorastCodDiho_);
    }

    if (const auto aula = buscar(aulas_, fila.aula)) {
        sesion.depcentro = tablas_.aulat.asString(*aula, aulatDepCentro_);
    }
    return sesion;
}

void escribirSesion(xml::Document& doc, xml::Node entrada, const Sesion& sesion) {
    anadirItem(doc, entrada, "X_ACTIVIDAD", sesion.actividad);
    anadirItem(doc, entrada, "N_DIASEMANA", sesion.dia);
    anadirItem(doc, entrada, "X_TRAMO", sesion.tramo);
    anadirItem(doc, entrada, "X_DEPCENTRO", sesion.depcentro);
    anadirItem(doc, entrada, "X_MATERIAOMC", sesion.materia);
    anadirItem(doc, entrada, "X_UNIDAD", sesion.unidad);
}

}  // namespace toa::importar
