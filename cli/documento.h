#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "platform/paths.h"

namespace toa::cli {

// The exchange document named on the command line, on the local file system; none when that
// names no existing file (a folder is no document), which the commands report as
// "No existe archivo".
inline std::optional<std::filesystem::path> documentoExistente(const std::string& documento) {
    const std::filesystem::path ruta = userPath(documento);
    std::error_code sinAcceso;
    if (!std::filesystem::is_regular_file(ruta, sinAcceso)) return std::nullopt;
    return ruta;
}

}  // namespace toa::cli
