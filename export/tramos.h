#pragma once
#include <string>
#include <string_view>

// The time rules of the time slots.
namespace toa::exportar {

// A start or end time as the slots store it: a value shorter than five characters gets one
// leading "0" ('8:00' gives '08:00', '800' gives '0800'), a longer one stays as it is.
std::string horaTramo(std::string_view hora);

// Minutes of a stored time: characters 1-2 as hours and 4-5 as minutes; the third character and
// those after the fifth are not looked at. A piece that is not a decimal integer raises
// "'%s' no es un valor entero válido" with the piece.
int minutosDelDia(std::string_view hora);

}  // namespace toa::exportar
