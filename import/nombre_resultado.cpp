#include "import/import_run.h"

namespace toa::importar {

std::string nombreResultado(const std::string& archivoXML) {
#ifdef _WIN32
    constexpr const char* kFinCarpeta = "\\:";
#else
    constexpr const char* kFinCarpeta = "\\:/";
#endif
    const std::size_t corte = archivoXML.find_last_of(kFinCarpeta);
    const std::size_t nombre = corte == std::string::npos ? 0 : corte + 1;
    return archivoXML.substr(0, nombre) + "ResultadoOrbeta" + archivoXML.substr(nombre);
}

}  // namespace toa::importar
