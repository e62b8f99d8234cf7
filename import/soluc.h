#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "import/resolucion.h"
#include "tables/dbase_table.h"

namespace toa::importar {

// The timetable SOLUC, its rows grouped by teacher code once: what a filter "PROF= 'x'" would let
// through, per teacher, in record order.
class Soluc {
  public:
    // A SOLUC without one of the fields the import reads raises an Error naming it.
    explicit Soluc(const tables::Table& soluc);

    // The rows whose PROF equals `prof` exactly, in record order.
    const std::vector<std::size_t>& filasDe(const std::string& prof) const;
    // A row whose DIA as an integer is 0 (a blank DIA reads as 0) is no timetabled session.
    bool esSesion(std::size_t fila) const;
    FilaSoluc fila(std::size_t fila) const;

  private:
    const tables::Table& soluc_;
    std::size_t asig_;
    std::size_t codgrupo_;
    std::size_t tarea_;
    std::size_t aula_;
    std::size_t dia_;
    std::size_t hora_;
    std::unordered_map<std::string, std::vector<std::size_t>> porProfesor_;
};

}  // namespace toa::importar
