#include "tables/table_files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "platform/ansi.h"
#include "platform/error.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace toa::tables {

namespace fs = std::filesystem;

std::vector<fs::path> filesNamed(const fs::path& folder, std::string_view fileName) {
    const std::string wanted = upperAsciiLetters(fileName);
    std::vector<fs::path> found;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        if (upperAsciiLetters(it->path().filename().string()) == wanted)
            found.push_back(it->path());
    }
    std::sort(found.begin(), found.end(), [&](const fs::path& a, const fs::path& b) {
        const bool exactA = a.filename().string() == fileName;
        const bool exactB = b.filename().string() == fileName;
        return exactA != exactB ? exactA : a.filename().string() < b.filename().string();
    });
    return found;
}

namespace {

[[noreturn]] void inUse(std::string_view tableName, const fs::path& path) {
    throw Error("La tabla " + std::string(tableName) + " está en uso por otro programa (" +
                path.string() + ")");
}

[[noreturn]] void failed(std::string_view what, std::string_view tableName, const fs::path& path,
                         const std::string& reason) {
    throw Error("No se puede " + std::string(what) + " la tabla " + std::string(tableName) + " (" +
                path.string() + "): " + reason);
}

}  // namespace

#ifdef _WIN32

HeldFile::HeldFile(const fs::path& path, std::string_view tableName)
    : path_(path), tableName_(tableName) {
    // No sharing but deletion: nobody else opens the table, and the re-create rule may still
    // move a new file over it.
    handle_ = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
            inUse(tableName, path);
        failed("abrir", tableName, path, std::system_category().message(static_cast<int>(error)));
    }
}

HeldFile::~HeldFile() {
    CloseHandle(handle_);
}

std::string HeldFile::readAll() const {
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (true) {
        if (!ReadFile(handle_, buffer, static_cast<DWORD>(sizeof buffer), &got, nullptr))
            failed("leer", tableName_, path_,
                   std::system_category().message(static_cast<int>(GetLastError())));
        if (got == 0) return bytes;
        bytes.append(buffer, got);
    }
}

#else

HeldFile::HeldFile(const fs::path& path, std::string_view tableName)
    : path_(path), tableName_(tableName), fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    if (fd_ < 0) failed("abrir", tableName, path, std::strerror(errno));
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd_);
        if (error == EWOULDBLOCK) inUse(tableName, path);
        failed("reservar", tableName, path, std::strerror(error));
    }
}

HeldFile::~HeldFile() {
    ::close(fd_);
}

std::string HeldFile::readAll() const {
    std::string bytes;
    struct stat info {};
    if (::fstat(fd_, &info) == 0 && info.st_size > 0)
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    off_t at = 0;
    while (true) {
        const ssize_t got = ::pread(fd_, buffer, sizeof buffer, at);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) failed("leer", tableName_, path_, std::strerror(errno));
        if (got == 0) return bytes;
        bytes.append(buffer, static_cast<std::size_t>(got));
        at += got;
    }
}

#endif

}  // namespace toa::tables
