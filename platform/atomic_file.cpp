#include "platform/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include "platform/error.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace toa {
namespace {

namespace fs = std::filesystem;

fs::path temporaryBeside(const fs::path& target) {
    std::random_device seed;
    const auto tag = std::to_string(seed()) + std::to_string(seed());
    return target.parent_path() / ("." + target.filename().string() + "." + tag + ".tmp");
}

[[noreturn]] void fail(const fs::path& target, const std::string& reason) {
    throw Error("No se pudo escribir el archivo " + target.string() + ": " + reason);
}

#ifndef _WIN32
// The data must be on disk before the rename makes it the file, or a crash could leave the new
// name pointing at nothing.
void syncPath(const fs::path& path, int flags) {
    const int fd = ::open(path.c_str(), flags);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}
#endif

void moveOver(const fs::path& from, const fs::path& to) {
#ifdef _WIN32
    if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        fail(to, "no se pudo reemplazar");
#else
    syncPath(from, O_RDONLY);
    if (std::rename(from.c_str(), to.c_str()) != 0) fail(to, std::strerror(errno));
    syncPath(to.parent_path().empty() ? fs::path(".") : to.parent_path(), O_RDONLY | O_DIRECTORY);
#endif
}

}  // namespace

void writeFileAtomically(const fs::path& target, const std::function<void(std::ostream&)>& write) {
    const fs::path temporary = temporaryBeside(target);
    try {
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            if (!out) fail(target, std::strerror(errno));
            write(out);
            out.flush();
            if (!out) fail(target, "error de escritura (¿disco lleno?)");
        }
        moveOver(temporary, target);
    } catch (...) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw;
    }
}

}  // namespace toa
