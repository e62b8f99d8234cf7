#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace toa::importar {

// Pairs of texts to a text, for the lookup tables of hundreds of thousands of rows: the entries
// lie side by side in the order they came and a compact array of slots finds them, so that a
// lookup touches two places in memory instead of a chain of separate nodes.
class IndicePares {
  public:
    using Par = std::pair<std::string, std::string>;
    using ParVista = std::pair<std::string_view, std::string_view>;
    struct Entrada {
        Par first;
        std::string second;
    };

    void reserve(std::size_t entradas);
    // The entry of `clave`, and whether it is new: an existing one is left as it is.
    std::pair<Entrada*, bool> try_emplace(Par clave);
    // The value of `clave`, or none.
    const std::string* buscar(ParVista clave) const;

  private:
    // A slot holds the entry's number plus one (0: free) in its low 32 bits, enough for any
    // table since a table file counts its records in 32 bits, and above them part of the hash,
    // so that most slots of other pairs are passed over without reading their entry.
    using Hueco = std::uint64_t;
    static std::uint64_t hash(ParVista clave);
    // The slot of `clave`, or the free slot where it would go.
    std::size_t hueco(ParVista clave, std::uint64_t h) const;
    void ampliar(std::size_t huecos);

    std::vector<Entrada> entradas_;
    std::vector<Hueco> huecos_;
};

}  // namespace toa::importar
