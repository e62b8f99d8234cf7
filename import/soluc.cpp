#include "import/soluc.h"

namespace toa::importar {

Soluc::Soluc(const tables::Table& soluc)
    : soluc_(soluc),
      asig_(soluc.fieldIndex("ASIG")),
      codgrupo_(soluc.fieldIndex("CODGRUPO")),
      tarea_(soluc.fieldIndex("TAREA")),
      aula_(soluc.fieldIndex("AULA")),
      dia_(soluc.fieldIndex("DIA")),
      hora_(soluc.fieldIndex("HORA")) {
    const std::size_t prof = soluc.fieldIndex("PROF");
    for (std::size_t fila = 0; fila < soluc.recordCount(); ++fila) {
        porProfesor_[soluc.asString(fila, prof)].push_back(fila);
    }
}

const std::vector<std::size_t>& Soluc::filasDe(const std::string& prof) const {
    static const std::vector<std::size_t> ninguna;
    const auto filas = porProfesor_.find(prof);
    return filas == porProfesor_.end() ? ninguna : filas->second;
}

bool Soluc::esSesion(std::size_t fila) const {
    return soluc_.asInteger(fila, dia_) != 0;
}

FilaSoluc Soluc::fila(std::size_t fila) const {
    return FilaSoluc{
        .asig = soluc_.asString(fila, asig_),
        .codgrupo = soluc_.asString(fila, codgrupo_),
        .tarea = soluc_.asString(fila, tarea_),
        .aula = soluc_.asString(fila, aula_),
        .dia = soluc_.asString(fila, dia_),
        .hora = soluc_.asInteger(fila, hora_),
    };
}

}  // namespace toa::importar
