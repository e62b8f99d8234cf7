#include "export/codigo_unico.h"

#include <algorithm>

#include "platform/ansi.h"
#include "platform/error.h"
#include "tables/dbase_table.h"

namespace toa::exportar {
namespace {

constexpr std::size_t kAnchoCodigo = 4;
constexpr int kSinNumeroLibre = 10000;

std::size_t cifras(int numero) {
    std::size_t n = 1;
    for (; numero >= 10; numero /= 10) ++n;
    return n;
}

}  // namespace

bool ListaCodigos::contiene(std::string_view texto) const {
    return plegados_.contains(foldCase(texto));
}

void ListaCodigos::anadir(std::string_view texto) {
    plegados_.insert(foldCase(texto));
}

std::string CodigoUnico(std::string_view candidato, std::size_t longitudBase, ListaCodigos& lista) {
    const std::string almacenado = tables::storedText(candidato, kAnchoCodigo);
    if (!lista.contiene(almacenado)) {
        lista.anadir(almacenado);
        return std::string(candidato);
    }
    const std::string_view base = candidato.substr(0, longitudBase);
    int& siguiente = lista.siguienteNumero_.try_emplace(foldCase(base), 1).first->second;
    for (int k = siguiente; k < kSinNumeroLibre; ++k) {
        const std::size_t largo = std::min(base.size(), kAnchoCodigo - cifras(k));
        std::string codigo = std::string(base.substr(0, largo)) + std::to_string(k);
        if (!lista.contiene(codigo)) {
            lista.anadir(codigo);
            siguiente = k + 1;
            return codigo;
        }
    }
    throw Error("No queda ningún código corto libre para '" + utf8FromAnsi(candidato) +
                "': los números del 1 al 9999 ya están dados");
}

}  // namespace toa::exportar
