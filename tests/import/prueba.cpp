#include "prueba.h"

namespace toa::importar::prueba {

tables::Table tabla(const tables::TableDef& def, const std::vector<Fila>& filas) {
    tables::Table resultado(def);
    for (const Fila& fila : filas) {
        const std::size_t numero = resultado.append();
        for (const auto& [campo, valor] : fila) {
            const std::size_t indice = resultado.fieldIndex(campo);
            if (const auto* texto = std::get_if<std::string>(&valor)) {
                resultado.setString(numero, indice, *texto);
            } else {
                resultado.setFloat(numero, indice, std::get<double>(valor));
            }
        }
    }
    return resultado;
}

std::string esquema(xml::Node elemento) {
    if (elemento.name() == "salida") return elemento.text();
    std::string linea =
        elemento.name() == "listasal" ? elemento.attribute("seq").value_or("?") : elemento.name();
    linea += '(';
    bool primero = true;
    for (const xml::Node hijo : elemento.selectNodes("*")) {
        if (!primero) linea += ',';
        linea += esquema(hijo);
        primero = false;
    }
    return linea + ')';
}

}  // namespace toa::importar::prueba
