#include "prueba.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace toa::importar::prueba {

namespace fs = std::filesystem;

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

UnidadC::UnidadC() {
    std::string plantilla = (fs::temp_directory_path() / "toa-import-XXXXXX").string();
    if (::mkdtemp(plantilla.data()) == nullptr) throw std::runtime_error("mkdtemp");
    raiz_ = plantilla;
    fs::create_directories(xtemp());
    ::setenv("WINEPREFIX", raiz_.c_str(), 1);
}

UnidadC::~UnidadC() {
    ::unsetenv("WINEPREFIX");
    std::error_code ignorado;
    fs::remove_all(raiz_, ignorado);
}

std::string leer(const fs::path& archivo) {
    std::ifstream entrada(archivo, std::ios::binary);
    if (!entrada) throw std::runtime_error("no se puede leer " + archivo.string());
    std::ostringstream bytes;
    bytes << entrada.rdbuf();
    return bytes.str();
}

void escribir(const fs::path& archivo, std::string_view bytes) {
    std::ofstream salida(archivo, std::ios::binary | std::ios::trunc);
    salida << bytes;
    if (!salida) throw std::runtime_error("no se puede escribir " + archivo.string());
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
