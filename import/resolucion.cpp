#include "import/resolucion.h"

#include "import/bloque_resultado.h"
#include "platform/ansi.h"

namespace toa::importar {
namespace {

using tables::Table;

// Among rows with equal keys the first in record order is the one a scan would stop at, so a
// later row neither replaces it nor is read.
template <class Indice, class Clave, class Valor>
void indexar(Indice& indice, const Table& tabla, Clave clave, Valor valor) {
    indice.reserve(tabla.recordCount());
    for (std::size_t fila = 0; fila < tabla.recordCount(); ++fila) {
        const auto [entrada, nueva] = indice.try_emplace(clave(fila));
        if (nueva) entrada->second = valor(fila);
    }
}

// The value found, or none: a lookup that finds nothing leaves its working values as they are.
template <class Indice, class Clave>
const typename Indice::mapped_type* buscar(const Indice& indice, const Clave& clave) {
    const auto encontrada = indice.find(clave);
    return encontrada == indice.end() ? nullptr : &encontrada->second;
}

const std::string* buscar(const IndicePares& indice, IndicePares::ParVista clave) {
    return indice.buscar(clave);
}

bool vacioRecortado(std::string_view texto) {
    return trimControls(texto).empty();
}

}  // namespace

std::string claveTramo(std::string_view diaTexto, std::int32_t hora) {
    return std::string(diaTexto) + std::to_string(hora);
}

Resolucion::Resolucion(const TablasBusqueda& tablas) {
    const Table& asigt = tablas.asigt;
    const std::size_t casig = asigt.fieldIndex("CASIG");
    const std::size_t cgrup = asigt.fieldIndex("CGRUP");
    const std::size_t clave = asigt.fieldIndex("CLAVE");
    indexar(
        asignaciones_, asigt,
        [&](std::size_t fila) {
            return Par(asigt.asString(fila, casig), asigt.asString(fila, cgrup));
        },
        [&](std::size_t fila) { return asigt.asString(fila, clave); });

    const Table& asignomt = tablas.asignomt;
    const std::size_t cod = asignomt.fieldIndex("COD");
    const std::size_t codTarea = asignomt.fieldIndex("CODTAREA");
    indexar(
        tareas_, asignomt, [&](std::size_t fila) { return asignomt.asString(fila, cod); },
        [&](std::size_t fila) { return asignomt.asString(fila, codTarea); });

    const Table& grupost = tablas.grupost;
    const std::size_t abrevGrupo = grupost.fieldIndex("ABREV");
    const std::size_t claveGrupo = grupost.fieldIndex("CLAVE");
    const std::size_t claveCurso = grupost.fieldIndex("CLAVECURSO");
    indexar(
        grupos_, grupost, [&](std::size_t fila) { return grupost.asString(fila, abrevGrupo); },
        [&](std::size_t fila) {
            return Par(grupost.asString(fila, claveGrupo), grupost.asString(fila, claveCurso));
        });

    // The fallback looks among the rows whose COD is the subject's code for the first with the
    // group's course key: the first row with both.
    const Table& asignomt2 = tablas.asignomt2;
    const std::size_t cod2 = asignomt2.fieldIndex("COD");
    const std::size_t claveCurso2 = asignomt2.fieldIndex("CLAVECURSO");
    const std::size_t alectiva = asignomt2.fieldIndex("ALECTIVA");
    const std::size_t materia = asignomt2.fieldIndex("MATERIA");
    indexar(
        asignaturasCurso_, asignomt2,
        [&](std::size_t fila) {
            return Par(asignomt2.asString(fila, cod2), asignomt2.asString(fila, claveCurso2));
        },
        [&](std::size_t fila) {
            return vacioRecortado(asignomt2.asString(fila, alectiva))
                       ? std::string()
                       : asignomt2.asString(fila, materia);
        });

    const Table& diashorast = tablas.diashorast;
    const std::size_t diho = diashorast.fieldIndex("DIHO");
    const std::size_t dia = diashorast.fieldIndex("DIA");
    const std::size_t codDiho = diashorast.fieldIndex("CODDIHO");
    indexar(
        tramos_, diashorast, [&](std::size_t fila) { return diashorast.asString(fila, diho); },
        [&](std::size_t fila) {
            return Par(diashorast.asString(fila, dia), diashorast.asString(fila, codDiho));
        });

    const Table& aulat = tablas.aulat;
    const std::size_t abrevAula = aulat.fieldIndex("ABREV");
    const std::size_t depCentro = aulat.fieldIndex("DEPCENTRO");
    indexar(
        aulas_, aulat, [&](std::size_t fila) { return aulat.asString(fila, abrevAula); },
        [&](std::size_t fila) { return aulat.asString(fila, depCentro); });
}

Sesion Resolucion::resolver(const FilaSoluc& fila) const {
    Sesion sesion;
    std::string claveCurso;

    if (const std::string* clave = buscar(asignaciones_, ParVista(fila.asig, fila.codgrupo))) {
        sesion.materia = *clave;
    }

    // A task row with an empty CODTAREA empties the activity: the row's value is replaced.
    sesion.actividad = fila.tarea;
    if (const std::string* codTarea = buscar(tareas_, fila.tarea)) sesion.actividad = *codTarea;

    if (const Par* grupo = buscar(grupos_, fila.codgrupo)) {
        sesion.unidad = grupo->first;
        claveCurso = grupo->second;
    }

    if (vacioRecortado(sesion.materia)) {
        if (const std::string* materia =
                buscar(asignaturasCurso_, ParVista(fila.asig, claveCurso))) {
            sesion.materia = *materia;
        }
    }

    if (const Par* tramo = buscar(tramos_, claveTramo(fila.dia, fila.hora))) {
        sesion.dia = tramo->first;
        sesion.tramo = tramo->second;
    }

    if (const std::string* depCentro = buscar(aulas_, fila.aula)) sesion.depcentro = *depCentro;
    return sesion;
}

void escribirSesion(xml::ElementWriter& entrada, const Sesion& sesion) {
    escribirItem(entrada, "X_ACTIVIDAD", sesion.actividad);
    escribirItem(entrada, "N_DIASEMANA", sesion.dia);
    escribirItem(entrada, "X_TRAMO", sesion.tramo);
    escribirItem(entrada, "X_DEPCENTRO", sesion.depcentro);
    escribirItem(entrada, "X_MATERIAOMC", sesion.materia);
    escribirItem(entrada, "X_UNIDAD", sesion.unidad);
}

}  // namespace toa::importar
