#include "platform/help.h"

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "platform/error.h"
#include "platform/paths.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>
#endif

namespace toa {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void failMissingFile(std::string_view helpFile, const fs::path& local) {
    throw Error("No se encuentra el archivo de ayuda " + std::string(helpFile) + " (" +
                local.string() + ")");
}

#ifdef _WIN32

// HTML Help commands of hhctrl.ocx.
constexpr UINT kDisplayTableOfContents = 0x0001;
constexpr UINT kDisplayContext = 0x000F;
using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

// No context: the table of contents.
void showHelp(std::string_view helpFile, std::optional<int> context) {
    const std::string file(helpFile);
    if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES)
        failMissingFile(helpFile, file);
    static const HMODULE hhctrl = LoadLibraryW(L"hhctrl.ocx");
    const auto htmlHelp =
        hhctrl ? reinterpret_cast<HtmlHelpFunction>(GetProcAddress(hhctrl, "HtmlHelpW")) : nullptr;
    if (!htmlHelp) throw Error("No hay ningún visor de ayuda instalado (HTML Help)");
    const int length = MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide.data(), length);
    if (!htmlHelp(nullptr, wide.c_str(), context ? kDisplayContext : kDisplayTableOfContents,
                  context ? static_cast<DWORD_PTR>(*context) : 0))
        throw Error("No se pudo mostrar la ayuda " + file);
}

#else

// The viewer to run: TOA_HELP_VIEWER names one that takes xchm's arguments; otherwise xchm, which
// can open a topic, then the desktop's opener, which can only open the file.
struct Viewer {
    std::string program;
    bool opensContext;
};

std::optional<std::string> findProgram(const std::string& name) {
    const auto runnable = [](const std::string& candidate) {
        std::error_code error;
        return fs::is_regular_file(candidate, error) && ::access(candidate.c_str(), X_OK) == 0;
    };
    if (name.find('/') != std::string::npos) {
        if (runnable(name)) return name;
        return std::nullopt;
    }
    const char* searchPath = std::getenv("PATH");
    const std::string_view folders = searchPath ? searchPath : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        std::size_t end = folders.find(':', start);
        if (end == std::string_view::npos) end = folders.size();
        const std::string folder(end > start ? folders.substr(start, end - start) : ".");
        if (const std::string candidate = folder + "/" + name; runnable(candidate))
            return candidate;
        start = end + 1;
    }
    return std::nullopt;
}

Viewer findViewer() {
    if (const char* chosen = std::getenv("TOA_HELP_VIEWER"); chosen && *chosen) {
        if (auto program = findProgram(chosen)) return {*program, true};
        throw Error("No hay ningún visor de ayuda instalado (" + std::string(chosen) + ")");
    }
    if (auto program = findProgram("xchm")) return {*program, true};
    if (auto program = findProgram("xdg-open")) return {*program, false};
    throw Error("No hay ningún visor de ayuda instalado (xchm)");
}

// Starts the viewer without waiting for it. Its parent exits at once, so init adopts the viewer
// and no zombie is left behind; a pipe closed by exec tells whether the start succeeded.
void startDetached(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        throw Error("No se pudo iniciar el visor de ayuda: " + std::string(std::strerror(errno)));
    const pid_t child = ::fork();
    if (child < 0) {
        const int failure = errno;
        ::close(report[0]);
        ::close(report[1]);
        throw Error("No se pudo iniciar el visor de ayuda: " + std::string(std::strerror(failure)));
    }
    if (child == 0) {
        // Only async-signal-safe calls from here on.
        const pid_t viewer = ::fork();
        if (viewer != 0) {
            if (viewer < 0) {
                const int failure = errno;
                (void)!::write(report[1], &failure, sizeof failure);
            }
            ::_exit(0);
        }
        ::setsid();
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        ::execv(argv[0], argv.data());
        const int failure = errno;
        (void)!::write(report[1], &failure, sizeof failure);
        ::_exit(127);
    }
    ::close(report[1]);
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    int failure = 0;
    ssize_t got = 0;
    while ((got = ::read(report[0], &failure, sizeof failure)) < 0 && errno == EINTR) {
    }
    ::close(report[0]);
    if (got > 0)
        throw Error("No se pudo iniciar el visor de ayuda " + arguments[0] + ": " +
                    std::strerror(failure));
}

// No context: the table of contents.
void showHelp(std::string_view helpFile, std::optional<int> context) {
    const fs::path local = userPath(helpFile);
    std::error_code error;
    if (!fs::is_regular_file(local, error)) failMissingFile(helpFile, local);
    const Viewer viewer = findViewer();
    std::vector<std::string> arguments{viewer.program};
    if (context && viewer.opensContext) {
        arguments.push_back("-c");
        arguments.push_back(std::to_string(*context));
    }
    arguments.push_back(local.string());
    startDetached(arguments);
}

#endif

}  // namespace

void showHelpContents(std::string_view helpFile) {
    showHelp(helpFile, std::nullopt);
}

void showHelpContext(std::string_view helpFile, int context) {
    showHelp(helpFile, context);
}

}  // namespace toa
