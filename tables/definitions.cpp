#include "tables/definitions.h"

namespace toa::tables {
namespace {

constexpr FieldDef text(std::string_view name, int width) {
    return {name, FieldKind::Text, width};
}
constexpr FieldDef logical(std::string_view name) {
    return {name, FieldKind::Logical};
}
constexpr FieldDef integer(std::string_view name) {
    return {name, FieldKind::Integer};
}
constexpr FieldDef floating(std::string_view name) {
    return {name, FieldKind::Float};
}

}  // namespace

const TableDef ASIGNOMT{"ASIGNOMT",
                        {text("COD", 4), text("CODLARGO", 8), text("NOMBRE", 40),
                         text("MATERIA", 8), text("CODTAREA", 12), logical("ESTAREA")}};

const TableDef ASIGNOMT2{"ASIGNOMT2",
                         {text("COD", 4), text("CODLARGO", 8), text("NOMBRE", 40),
                          text("MATERIA", 8), text("CLAVECURSO", 12), text("ALECTIVA", 1)}};

const TableDef PROFT{"PROFT",
                     {text("ABREV", 4), text("NOMBRE", 40), text("DEPART", 40), integer("DNI"),
                      text("X_EMPLEADO", 10), text("F_TOMAPOS", 10)}};

const TableDef AULAT{"AULAT",
                     {text("ABREV", 4), text("NOMBRE", 40), text("EDIFICIO", 1), integer("MAXALUM"),
                      text("DEPCENTRO", 10)}};

const TableDef CURSOST{
    "CURSOST",
    {text("ABREV", 3), text("TURNO", 1), text("NIVEL", 5), text("CURSO", 3), text("CLAVE", 10)}};

const TableDef GRUPOST{"GRUPOST",
                       {text("ABREV", 4), text("TURNO", 1), text("NIVEL", 5), text("CURSO", 3),
                        text("GRUPO", 2), text("CLAVE", 10), text("CLAVECURSO", 10)}};

const TableDef ASIGT{
    "ASIGT",
    {text("CASIG", 4), text("CPROF", 4), text("CGRUP", 4), text("CAULA", 4), text("TURNO", 1),
     text("NIVEL", 5), text("CURSO", 3), text("GRUPO", 2), floating("HORAS"), text("SESIONES", 20),
     text("CLAVE", 10), text("CLAVECURSO", 10), text("CTAREA", 4)}};

const TableDef DIASHORAST{
    "DIASHORAST",
    {text("DIHO", 10), text("CODDIHO", 10), text("DIA", 20), text("TEXTODIA", 20), text("HORA", 8),
     text("TEXTOHOR", 8), text("HORADESDE", 8), text("HORAHASTA", 8), text("MINUTOS", 8)}};

const TableDef SOLUC{"SOLUC",
                     {text("ASIG", 4), text("PROF", 4), text("CODGRUPO", 4), text("TURNO", 1),
                      text("NIVEL", 5), text("CURSO", 3), text("GRUPO", 1), text("AULA", 4),
                      text("TAREA", 4), floating("DIA"), floating("HORA"), floating("SESIONES")}};

}  // namespace toa::tables
