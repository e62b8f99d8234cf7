#include "tests/support/unidad_c.h"

#include <cstdlib>
#include <stdexcept>
#include <system_error>

namespace toa::prueba {

namespace fs = std::filesystem;

UnidadC::UnidadC() {
    std::string plantilla = (fs::temp_directory_path() / "toa-unidad-XXXXXX").string();
    if (::mkdtemp(plantilla.data()) == nullptr) throw std::runtime_error("mkdtemp");
    raiz_ = plantilla;
    fs::create_directories(xtemp());
    if (const char* valor = std::getenv("WINEPREFIX")) anterior_ = valor;
    ::setenv("WINEPREFIX", raiz_.c_str(), 1);
}

UnidadC::~UnidadC() {
    if (anterior_) {
        ::setenv("WINEPREFIX", anterior_->c_str(), 1);
    } else {
        ::unsetenv("WINEPREFIX");
    }
    std::error_code ignorado;
    fs::remove_all(raiz_, ignorado);
}

}  // namespace toa::prueba
