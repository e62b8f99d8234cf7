#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "tables/dbase_table.h"

namespace toa::exportar {

// A row appended to a table under construction, its fields set by name as the steps do.
class Fila {
  public:
    explicit Fila(tables::Table& tabla) : tabla_(tabla), fila_(tabla.append()) {}

    Fila& texto(std::string_view campo, std::string_view valor) {
        return texto(tabla_.fieldIndex(campo), valor);
    }
    // By the field's position, for a step that sets the same fields on many rows.
    Fila& texto(std::size_t campo, std::string_view valor) {
        tabla_.setString(fila_, campo, valor);
        return *this;
    }
    Fila& logico(std::string_view campo, bool valor) {
        tabla_.setBoolean(fila_, tabla_.fieldIndex(campo), valor);
        return *this;
    }
    Fila& numero(std::string_view campo, double valor) {
        return numero(tabla_.fieldIndex(campo), valor);
    }
    Fila& numero(std::size_t campo, double valor) {
        tabla_.setFloat(fila_, campo, valor);
        return *this;
    }

  private:
    tables::Table& tabla_;
    std::size_t fila_;
};

// A field of a row as the table gives it back: cut to its width, without trailing blanks.
inline std::string leido(const tables::Table& tabla, std::size_t fila, std::string_view campo) {
    return tabla.asString(fila, tabla.fieldIndex(campo));
}

}  // namespace toa::exportar
