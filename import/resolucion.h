#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "exchange/xml_document.h"
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
// letter case included. The indexes are built once; the tables must outlive the resolution.
class Resolucion {
  public:
    // A table that lacks a field the lookups read raises an Error naming table and field.
    explicit Resolucion(const TablasBusqueda& tablas);

    Sesion resolver(const FilaSoluc& fila) const;

  private:
    struct ParHash {
        std::size_t operator()(const std::pair<std::string, std::string>& par) const;
    };
    using Indice = std::unordered_map<std::string, std::size_t>;
    using IndicePar = std::unordered_map<std::pair<std::string, std::string>, std::size_t, ParHash>;

    TablasBusqueda tablas_;
    // ASIGT: CASIG + CGRUP -> CLAVE.
    IndicePar asignaciones_;
    std::size_t asigtClave_;
    // ASIGNOMT: COD -> CODTAREA.
    Indice tareas_;
    std::size_t asignomtCodTarea_;
    // GRUPOST: ABREV -> CLAVE, CLAVECURSO.
    Indice grupos_;
    std::size_t grupostClave_;
    std::size_t grupostClaveCurso_;
    // ASIGNOMT2: COD + CLAVECURSO -> ALECTIVA, MATERIA (the subject fallback).
    IndicePar asignaturasCurso_;
    std::size_t asignomt2Alectiva_;
    std::size_t asignomt2Materia_;
    // DIASHORAST: DIHO -> DIA, CODDIHO.
    Indice tramos_;
    std::size_t diashorastDia_;
    std::size_t diashorastCodDiho_;
    // AULAT: ABREV -> DEPCENTRO.
    Indice aulas_;
    std::size_t aulatDepCentro_;
};

// Appends the six items to the session entry, in the order the administration system reads.
void escribirSesion(xml::Document& doc, xml::Node entrada, const Sesion& sesion);

}  // namespace toa::importar
