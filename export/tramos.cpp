#include "export/tramos.h"

#include <algorithm>
#include <array>
#include <string>
#include <unordered_map>
#include <vector>

#include "exchange/exchange_document.h"
#include "export/fila.h"
#include "export/pasos.h"
#include "platform/conversion.h"
#include "tables/definitions.h"

namespace toa::exportar {
namespace {

constexpr int kOrdenes = 40;
constexpr int kDias = 7;

// Characters from `desde` on, as many as there are up to `cuantos`.
std::string_view pieza(std::string_view texto, std::size_t desde, std::size_t cuantos) {
    return texto.substr(std::min(desde, texto.size()), cuantos);
}

// The intervals of each order number "1" to "40", in document order; any other order text
// (a leading zero, out of range, not a number, missing) places no interval.
std::array<std::vector<const exchange::Interval*>, kOrdenes> porOrden(
    const std::vector<exchange::Interval>& intervalos) {
    std::unordered_map<std::string, int> ordenes;
    for (int k = 1; k <= kOrdenes; ++k) ordenes.emplace(std::to_string(k), k - 1);
    std::array<std::vector<const exchange::Interval*>, kOrdenes> lista;
    for (const exchange::Interval& intervalo : intervalos) {
        if (const auto orden = ordenes.find(intervalo.orden); orden != ordenes.end()) {
            lista[static_cast<std::size_t>(orden->second)].push_back(&intervalo);
        }
    }
    return lista;
}

}  // namespace

std::string horaTramo(std::string_view hora) {
    return hora.size() < 5 ? "0" + std::string(hora) : std::string(hora);
}

int minutosDelDia(std::string_view hora) {
    return decimalInteger(pieza(hora, 0, 2)) * 60 + decimalInteger(pieza(hora, 3, 2));
}

tables::Table CrearTramos(const xml::Document& docXML) {
    tables::Table DIASHORAST(tables::DIASHORAST);
    const std::vector<exchange::Interval> intervalos = exchange::readIntervals(docXML);
    // Slots are numbered by order number, then document order, without gaps.
    int tramo = 1;
    for (const auto& delOrden : porOrden(intervalos)) {
        for (const exchange::Interval* intervalo : delOrden) {
            // All seven days of an interval carry the same times and minutes.
            const std::string desde = horaTramo(intervalo->inicio);
            const std::string hasta = horaTramo(intervalo->fin);
            const int inicio = minutosDelDia(desde);
            const std::string minutos = std::to_string(minutosDelDia(hasta) - inicio);
            const std::string hora = std::to_string(tramo);
            for (int dia = 1; dia <= kDias; ++dia) {
                Fila(DIASHORAST)
                    .texto("DIHO", std::to_string(dia) + hora)
                    .texto("DIA", std::to_string(dia))
                    .texto("HORA", hora)
                    .texto("TEXTOHOR", intervalo->nombre)
                    .texto("CODDIHO", intervalo->codigoArdel)
                    .texto("HORADESDE", desde)
                    .texto("HORAHASTA", hasta)
                    .texto("MINUTOS", minutos);
            }
            ++tramo;
        }
    }
    return DIASHORAST;
}

}  // namespace toa::exportar
