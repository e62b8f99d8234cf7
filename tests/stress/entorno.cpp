#include "entorno.h"

#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <exception>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "platform/ansi.h"
#include "platform/error.h"
#include "tables/dbase_file.h"
#include "tables/definitions.h"
#include "tables/table_component.h"

namespace toa::stress {

namespace fs = std::filesystem;

fs::path ejemplo() {
    return fs::path(TOA_SOURCE_DIR) / "examples" / "centro.xml";
}

tables::Table solucEjemplo() {
    std::ifstream csv(fs::path(TOA_SOURCE_DIR) / "examples" / "soluc.csv");
    std::vector<std::string> columnas;
    tables::Table soluc(tables::SOLUC);
    std::string linea;
    while (std::getline(csv, linea)) {
        std::vector<std::string> valores;
        std::stringstream partes(linea);
        for (std::string valor; std::getline(partes, valor, ',');) valores.push_back(valor);
        if (columnas.empty()) {
            columnas = valores;
            continue;
        }
        const std::size_t fila = soluc.append();
        for (std::size_t i = 0; i < valores.size() && i < columnas.size(); ++i) {
            soluc.setString(fila, soluc.fieldIndex(columnas[i]), ansiFromUtf8(valores[i]));
        }
    }
    if (soluc.recordCount() == 0) throw std::runtime_error("examples/soluc.csv sin filas");
    return soluc;
}

std::string bytesDe(const tables::Table& tabla) {
    std::ostringstream bytes;
    tables::writeDbf(tabla, bytes);
    return bytes.str();
}

std::string documentoVacio() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SERVICIO><SALIDAS></SALIDAS></SERVICIO>\n";
}

namespace {

void escribirTodo(int fd, std::string_view texto) {
    while (!texto.empty()) {
        const ssize_t escritos = ::write(fd, texto.data(), texto.size());
        if (escritos <= 0) return;
        texto.remove_prefix(static_cast<std::size_t>(escritos));
    }
}

std::string leerTodo(int fd) {
    std::string texto;
    char bloque[4096];
    ssize_t leidos;
    while ((leidos = ::read(fd, bloque, sizeof bloque)) > 0) {
        texto.append(bloque, static_cast<std::size_t>(leidos));
    }
    return texto;
}

}  // namespace

Final enHijo(const std::function<std::string()>& trabajo, const std::function<void()>& preparar,
             unsigned segundos) {
    int tubo[2];
    if (::pipe(tubo) != 0) throw std::runtime_error("pipe");
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork");
    if (pid == 0) {
        ::close(tubo[0]);
        ::alarm(segundos);
        int codigo = 0;
        std::string informe;
        try {
            if (preparar) preparar();
            informe = trabajo();
        } catch (const Error& error) {
            informe = error.what();
            codigo = 3;
        } catch (const std::exception& error) {
            informe = std::string("excepción ajena: ") + error.what();
            codigo = 4;
        }
        escribirTodo(tubo[1], informe);
        ::_exit(codigo);
    }
    ::close(tubo[1]);
    Final final;
    final.informe = leerTodo(tubo[0]);
    ::close(tubo[0]);
    int estado = 0;
    ::waitpid(pid, &estado, 0);
    if (WIFSIGNALED(estado)) final.senal = WTERMSIG(estado);
    if (WIFEXITED(estado)) final.codigo = WEXITSTATUS(estado);
    return final;
}

std::function<void()> limiteDeArchivo(std::size_t bytes, bool matar) {
    return [bytes, matar] {
        const rlimit limite{bytes, bytes};
        ::setrlimit(RLIMIT_FSIZE, &limite);
        ::signal(SIGXFSZ, matar ? SIG_DFL : SIG_IGN);
    };
}

bool montajePropio() {
    return ::unshare(CLONE_NEWNS) == 0 &&
           ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

bool montarTmpfs(const fs::path& carpeta, std::size_t bytes) {
    const std::string opciones = "size=" + std::to_string(bytes);
    return ::mount("tmpfs", carpeta.c_str(), "tmpfs", 0, opciones.c_str()) == 0;
}

bool montarSoloLectura(const fs::path& carpeta) {
    return ::mount(carpeta.c_str(), carpeta.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
           ::mount(nullptr, carpeta.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) ==
               0;
}

OtroPrograma::OtroPrograma(std::string tabla) {
    int listo[2];
    int liberar[2];
    if (::pipe(listo) != 0 || ::pipe(liberar) != 0) throw std::runtime_error("pipe");
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork");
    if (pid_ == 0) {
        ::close(listo[0]);
        ::close(liberar[1]);
        try {
            tables::TableComponent componente("c:\\xtemp", tabla);
            componente.open();
            escribirTodo(listo[1], "1");
            char nada;
            while (::read(liberar[0], &nada, 1) > 0) {
            }
        } catch (const std::exception&) {
            ::_exit(1);
        }
        ::_exit(0);
    }
    ::close(listo[1]);
    ::close(liberar[0]);
    liberar_ = liberar[1];
    char aviso = 0;
    const ssize_t leido = ::read(listo[0], &aviso, 1);
    ::close(listo[0]);
    if (leido != 1 || aviso != '1')
        throw std::runtime_error("el otro programa no pudo abrir " + tabla);
}

OtroPrograma::~OtroPrograma() {
    ::close(liberar_);
    int estado = 0;
    ::waitpid(pid_, &estado, 0);
}

}  // namespace toa::stress
