#include "tests/support/archivos.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace toa::prueba {

namespace fs = std::filesystem;

std::string leerArchivo(const fs::path& archivo) {
    std::ifstream in(archivo, std::ios::binary);
    if (!in) throw std::runtime_error("no se puede leer " + archivo.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void escribirArchivo(const fs::path& archivo, std::string_view bytes) {
    if (archivo.has_parent_path()) fs::create_directories(archivo.parent_path());
    std::ofstream out(archivo, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out) throw std::runtime_error("no se puede escribir " + archivo.string());
}

std::map<std::string, std::string> contenido(const fs::path& carpeta) {
    std::map<std::string, std::string> archivos;
    for (const fs::directory_entry& entrada : fs::directory_iterator(carpeta)) {
        if (entrada.is_regular_file()) {
            archivos[entrada.path().filename().string()] = leerArchivo(entrada.path());
        }
    }
    return archivos;
}

}  // namespace toa::prueba
