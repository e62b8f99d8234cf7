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

// ".ASIGNOMT.DBF.<tag>.tmp": hidden, and known by its target's name.
std::string temporaryPrefix(const fs::path& target) {
    return "." + target.filename().string() + ".";
}

fs::path temporaryBeside(const fs::path& target) {
    std::random_device seed;
    const auto tag = std::to_string(seed()) + std::to_string(seed());
    return target.parent_path() / (temporaryPrefix(target) + tag + ".tmp");
}

// A run killed while it wrote leaves its temporaries behind; the next one for the same target
// removes them.
void removeStaleTemporaries(const fs::path& target) {
    const std::string prefix = temporaryPrefix(target);
    std::error_code error;
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.starts_with(prefix) && name.ends_with(".tmp")) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

[[noreturn]] void fail(const fs::path& target, const std::string& reason) {
    throw Error("No se pudo escribir el archivo " + target.string() + ": " + reason);
}

#ifndef _WIN32
// The data must be on disk before a rename makes it the file, or a crash could leave the new name
// pointing at nothing; a disk that refuses only at this point has refused the write.
void syncFile(const fs::path& path, const fs::path& target) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) fail(target, std::strerror(errno));
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    if (result != 0) fail(target, std::strerror(error));
}

// The rename itself lives in the folder.
void syncFolder(const fs::path& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
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
    if (std::rename(from.c_str(), to.c_str()) != 0) fail(to, std::strerror(errno));
    syncFolder(to.parent_path());
#endif
}

}  // namespace

AtomicReplacement::~AtomicReplacement() {
    for (const auto& [temporary, target] : staged_) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
    }
}

void AtomicReplacement::stage(const fs::path& target,
                              const std::function<void(std::ostream&)>& write) {
    removeStaleTemporaries(target);
    const fs::path temporary = temporaryBeside(target);
    try {
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            if (!out) fail(target, std::strerror(errno));
            write(out);
            out.flush();
            if (!out) fail(target, "error de escritura (¿disco lleno?)");
        }
#ifndef _WIN32
        syncFile(temporary, target);
#endif
    } catch (...) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        throw;
    }
    staged_.emplace_back(temporary, target);
}

void AtomicReplacement::commit() {
    while (!staged_.empty()) {
        const auto& [temporary, target] = staged_.front();
        moveOver(temporary, target);
        staged_.erase(staged_.begin());
    }
}

void writeFileAtomically(const fs::path& target, const std::function<void(std::ostream&)>& write) {
    AtomicReplacement replacement;
    replacement.stage(target, write);
    replacement.commit();
}

}  // namespace toa
