#pragma once
#include <filesystem>
#include <optional>
#include <string>

// Drive C: of a test: a temporary folder with drive_c/XTEMP, made the process's WINEPREFIX while it
// lives (the value before it is put back).
namespace toa::prueba {

class UnidadC {
  public:
    UnidadC();
    ~UnidadC();
    UnidadC(const UnidadC&) = delete;
    UnidadC& operator=(const UnidadC&) = delete;

    const std::filesystem::path& raiz() const { return raiz_; }
    std::filesystem::path xtemp() const { return raiz_ / "drive_c" / "XTEMP"; }

  private:
    std::filesystem::path raiz_;
    std::optional<std::string> anterior_;
};

}  // namespace toa::prueba
