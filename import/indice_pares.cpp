#include "import/indice_pares.h"

#include <algorithm>
#include <bit>
#include <functional>

namespace toa::importar {
namespace {

constexpr std::uint64_t kMascaraEntrada = 0xffffffffULL;

std::uint64_t etiqueta(std::uint64_t h) {
    return h & ~kMascaraEntrada;
}

}  // namespace

std::uint64_t IndicePares::hash(ParVista clave) {
    const std::uint64_t primero = std::hash<std::string_view>{}(clave.first);
    const std::uint64_t segundo = std::hash<std::string_view>{}(clave.second);
    return primero ^ (segundo + 0x9e3779b97f4a7c15ULL + (primero << 6) + (primero >> 2));
}

void IndicePares::reserve(std::size_t entradas) {
    entradas_.reserve(entradas);
    // At most half the slots taken keeps the runs of taken slots short.
    if (2 * entradas > huecos_.size()) ampliar(std::bit_ceil(2 * entradas));
}

void IndicePares::ampliar(std::size_t huecos) {
    huecos_.assign(huecos, 0);
    for (std::size_t n = 0; n < entradas_.size(); ++n) {
        const Par& clave = entradas_[n].first;
        const std::uint64_t h = hash(clave);
        huecos_[hueco(clave, h)] = etiqueta(h) | (n + 1);
    }
}

std::size_t IndicePares::hueco(ParVista clave, std::uint64_t h) const {
    const std::size_t mascara = huecos_.size() - 1;
    for (std::size_t i = static_cast<std::size_t>(h) & mascara;; i = (i + 1) & mascara) {
        const Hueco ocupado = huecos_[i];
        if (ocupado == 0) return i;
        if (etiqueta(ocupado) != etiqueta(h)) continue;
        const Par& otra = entradas_[(ocupado & kMascaraEntrada) - 1].first;
        if (otra.first == clave.first && otra.second == clave.second) return i;
    }
}

std::pair<IndicePares::Entrada*, bool> IndicePares::try_emplace(Par clave) {
    if (2 * (entradas_.size() + 1) > huecos_.size()) {
        ampliar(std::max<std::size_t>(16, 2 * huecos_.size()));
    }
    const std::uint64_t h = hash(clave);
    const std::size_t i = hueco(clave, h);
    if (huecos_[i] != 0) return {&entradas_[(huecos_[i] & kMascaraEntrada) - 1], false};
    entradas_.push_back(Entrada{std::move(clave), {}});
    huecos_[i] = etiqueta(h) | entradas_.size();
    return {&entradas_.back(), true};
}

const std::string* IndicePares::buscar(ParVista clave) const {
    if (huecos_.empty()) return nullptr;
    const std::size_t i = hueco(clave, hash(clave));
    return huecos_[i] == 0 ? nullptr : &entradas_[(huecos_[i] & kMascaraEntrada) - 1].second;
}

}  // namespace toa::importar
