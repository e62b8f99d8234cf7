#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "exchange/xml_document.h"
#include "import/indice_pares.h"
#include "tables/dbase_table.h"

// Session resolution: the short codes of one timetabled session turned back into the
// administration system's keys, through the tables the export wrote.
namespace toa::importar {

// What one SOLUC row says about its session, as the table engine reads it back.
struct FilaSoluc {
    std::string asig;
    std::string codgrupo;
    std::string tarea;
    std::string aula;
    std::string dia;        // DIA as text: 3 reads "3", 2.5 reads "2.5"
    std::int32_t hora = 0;  // HORA rounded to the nearest integer
};

// The six items of a session entry, 8-bit text, possibly empty.
struct Sesion {
    std::string actividad;  // X_ACTIVIDAD
    std::string dia;        // N_DIASEMANA
    std::string tramo;      // X_TRAMO
    std::string depcentro;  // X_DEPCENTRO
    std::string materia;    // X_MATERIAOMC
    std::string unidad;     // X_UNIDAD

    bool operator==(const Sesion&) const = default;
};

// The time slot's key as the export writes DIHO: day 3, slot 5 give "35"; day 2, slot 12 "212".
std::string claveTramo(std::string_view diaTexto, std::int32_t hora);

// The six lookup tables, as the run has read them.
struct TablasBusqueda {
    const tables::Table& asigt;
    const tables::Table& asignomt;
    const tables::Table& grupost;
    const tables::Table& asignomt2;
    const tables::Table& diashorast;
    const tables::Table& aulat;
};

// Each lookup takes the first row in record order whose fields equal the searched texts exactly,
// letter case included. The indexes are built once and hold the values the lookups give, so the
// resolution no longer needs the tables.
class Resolucion {
  public:
    // A table that lacks a field the lookups read raises an Error naming table and field.
    explicit Resolucion(const TablasBusqueda& tablas);

    Sesion resolver(const FilaSoluc& fila) const;

  private:
    using Par = IndicePares::Par;
    // A pair is looked up by views of the searched texts, without copying them.
    using ParVista = IndicePares::ParVista;

    // ASIGT: CASIG + CGRUP -> CLAVE.
    IndicePares asignaciones_;
    // ASIGNOMT: COD -> CODTAREA.
    std::unordered_map<std::string, std::string> tareas_;
    // GRUPOST: ABREV -> CLAVE, CLAVECURSO.
    std::unordered_map<std::string, Par> grupos_;
    // ASIGNOMT2: COD + CLAVECURSO -> the subject key the fallback gives: MATERIA when ALECTIVA
    // is not blank, else empty.
    IndicePares asignaturasCurso_;
    // DIASHORAST: DIHO -> DIA, CODDIHO.
    std::unordered_map<std::string, Par> tramos_;
    // AULAT: ABREV -> DEPCENTRO.
    std::unordered_map<std::string, std::string> aulas_;
};

// The six items of the open session entry, in the order the administration system reads.
void escribirSesion(xml::ElementWriter& entrada, const Sesion& sesion);

}  // namespace toa::importar
