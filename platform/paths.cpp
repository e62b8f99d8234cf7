#include "platform/paths.h"

#include <cstdlib>
#include <optional>
#include <system_error>
#include <vector>

#include "platform/ansi.h"
#include "platform/error.h"

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

namespace toa {
namespace {

namespace fs = std::filesystem;

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

bool isAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool hasDriveLetter(std::string_view path) {
    return path.size() >= 2 && isAsciiLetter(path[0]) && path[1] == ':' &&
           (path.size() == 2 || isSeparator(path[2]));
}

#ifndef _WIN32

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

fs::path homeFolder() {
    if (const std::string home = environment("HOME"); !home.empty()) return home;
    if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir && *user->pw_dir)
        return user->pw_dir;
    throw Error("No se encuentra la carpeta personal del usuario (HOME)");
}

// Windows finds a name whatever its letter case. Names are compared by the letters of the ANSI
// code page; a name with characters the code page lacks matches only its exact spelling.
bool sameNameIgnoringCase(const std::string& a, const std::string& b) {
    const std::string ansiA = ansiFromUtf8(a);
    const std::string ansiB = ansiFromUtf8(b);
    return utf8FromAnsi(ansiA) == a && utf8FromAnsi(ansiB) == b && equalsIgnoringCase(ansiA, ansiB);
}

// The entry of `folder` that Windows would open for `name`. Directory order is arbitrary, so
// the exact spelling wins, then the first of the other spellings in byte order.
std::optional<std::string> findEntry(const fs::path& folder, const std::string& name) {
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) return std::nullopt;
    std::optional<std::string> best;
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::string entry = it->path().filename().string();
        if (entry == name) return entry;
        if (sameNameIgnoringCase(entry, name) && (!best || entry < *best)) best = entry;
    }
    return best;
}

// Drive C: and the current drive ("\...") are drive_c; another letter goes through Wine's drive
// links beside it (dosdevices/d:). A drive Wine lacks yields a path that does not exist, so the
// caller reports the file as missing.
fs::path rootOf(std::string_view windowsPath) {
    if (!hasDriveLetter(windowsPath)) return driveRoot();
    const char letter = lowerAsciiLetters(windowsPath.substr(0, 1))[0];
    if (letter == 'c') return driveRoot();
    return driveRoot().parent_path() / "dosdevices" / (std::string(1, letter) + ":");
}

std::vector<std::string> components(std::string_view rest) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t end = start;
        while (end < rest.size() && !isSeparator(rest[end])) ++end;
        if (end > start) parts.emplace_back(rest.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

#endif

}  // namespace

bool isWindowsPath(std::string_view path) {
    return hasDriveLetter(path) || (!path.empty() && path[0] == '\\');
}

#ifdef _WIN32

fs::path driveRoot() {
    return fs::path("C:\\");
}

fs::path mapWindowsPath(std::string_view windowsPath) {
    return fs::path(windowsPath);
}

#else

fs::path driveRoot() {
    if (const std::string prefix = environment("WINEPREFIX"); !prefix.empty())
        return fs::path(prefix) / "drive_c";
    return homeFolder() / ".wine" / "drive_c";
}

fs::path mapWindowsPath(std::string_view windowsPath) {
    const fs::path root = rootOf(windowsPath);
    const std::string_view rest = hasDriveLetter(windowsPath) ? windowsPath.substr(2) : windowsPath;
    fs::path local = root;
    for (const std::string& part : components(rest)) {
        if (part == ".") continue;
        if (part == "..") {
            // As on Windows, ".." never leaves the drive.
            if (local != root) local = local.parent_path();
            continue;
        }
        // A component that does not exist keeps its spelling, and so do all after it.
        local /= findEntry(local, part).value_or(part);
    }
    return local;
}

#endif

fs::path userPath(std::string_view path) {
    return isWindowsPath(path) ? mapWindowsPath(path) : fs::path(path);
}

bool namesExistingFile(std::string_view path) {
    if (path.empty()) return false;
    std::error_code error;
    return fs::is_regular_file(userPath(path), error);
}

fs::path tablesFolder() {
    const fs::path folder = mapWindowsPath(kTablesFolder);
    std::error_code error;
    if (!fs::is_directory(folder, error))
        throw Error("No existe la carpeta " + std::string(kTablesFolder) + " (" + folder.string() +
                    ")");
    return folder;
}

}  // namespace toa
