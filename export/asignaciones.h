#pragma once
#include <string>
#include <string_view>

// The rules of the teaching assignments that do not depend on the tables.
namespace toa::exportar {

// Whole hours of a subject's minutes, rounded up, at least 1; empty minutes give 1. A text that
// is not a decimal integer raises "'%s' no es un valor entero válido".
int horasAsignatura(std::string_view minutos);

// SESIONES of `horas` (at least 1): up to 13 hours a "1" each; from 14 on, the number of hours
// beyond 13 followed by thirteen "1".
std::string textoSesiones(int horas);

// The task key chosen by a subject's name: "281" for a guard duty, "286" for the library (with
// or without "GUARD"), "156" for any other.
std::string_view claveTarea(std::string_view nombre);

}  // namespace toa::exportar
