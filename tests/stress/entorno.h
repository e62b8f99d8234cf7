#pragma once
#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "tables/dbase_table.h"
#include "tests/support/archivos.h"

// Fixtures of the stress tests: the example school, runs in a child process that can be killed,
// limited or given a mount namespace of its own, and snapshots of folders.
namespace toa::stress {

// The example school shipped with the program, and its timetable as a SOLUC table.
std::filesystem::path ejemplo();
tables::Table solucEjemplo();
// The table as its file holds it.
std::string bytesDe(const tables::Table& tabla);
// A well-formed exchange document whose lists are all empty: eight empty tables.
std::string documentoVacio();

// How a child process ended: killed by a signal, or its exit code and what it reported.
struct Final {
    int senal = 0;
    int codigo = -1;
    std::string informe;
};

// Runs `trabajo` in a child process and waits for it. `preparar` runs first in the child (limits,
// signals, mounts). What `trabajo` returns is the report; an Error it raises ends the child with
// code 3 and its message as the report. `segundos` bounds the child's run (then SIGKILL).
Final enHijo(const std::function<std::string()>& trabajo,
             const std::function<void()>& preparar = {}, unsigned segundos = 60);

// The child's files stop growing at `bytes`: a write past it kills the child (SIGXFSZ), or with
// `matar` false fails as a full disk would.
std::function<void()> limiteDeArchivo(std::size_t bytes, bool matar);

// Gives the child a private mount namespace; false where the machine does not allow it.
bool montajePropio();
// In the child's namespace: a tmpfs of `bytes` over `carpeta`, or `carpeta` itself made
// read-only (which refuses root too).
bool montarTmpfs(const std::filesystem::path& carpeta, std::size_t bytes);
bool montarSoloLectura(const std::filesystem::path& carpeta);

using toa::prueba::contenido;

// A child that holds `tabla` of C:\XTEMP open for exclusive use until it is destroyed.
class OtroPrograma {
  public:
    explicit OtroPrograma(std::string tabla);
    ~OtroPrograma();
    OtroPrograma(const OtroPrograma&) = delete;
    OtroPrograma& operator=(const OtroPrograma&) = delete;

  private:
    pid_t pid_ = -1;
    int liberar_ = -1;
};

}  // namespace toa::stress
