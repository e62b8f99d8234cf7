// The short table of the benchmarks: per scale of the synthetic school, the export run and the
// import run against two baselines on the same data (parsing the document with libxml2 alone,
// and writing the same number of bytes raw), each in a process of its own so that its peak
// memory is its own. Times are process time (user + system), the least of a few repetitions.
//
//   tabla_resumen [ESCALA...] [--repeticiones N]     (default: 1 10 100, 3 repetitions)
#include <fcntl.h>
#include <libxml/parser.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/school_generator.h"
#include "exchange/exchange_document.h"
#include "export/export_run.h"
#include "import/import_run.h"
#include "tables/table_files.h"

namespace {

namespace fs = std::filesystem;

// ---- What one measured process does ----

void analizar(const char* documento) {
    xmlDoc* doc = xmlReadFile(documento, nullptr, XML_PARSE_NONET);
    if (doc == nullptr) throw std::runtime_error("libxml2 no analiza el documento");
    xmlFreeDoc(doc);
}

// Each size a file of its own, written in large blocks and flushed to disk, as the runs do.
void escribir(const fs::path& carpeta, const std::vector<std::size_t>& tamanos) {
    const std::string bloque(1 << 16, 'x');
    for (std::size_t i = 0; i < tamanos.size(); ++i) {
        const fs::path archivo = carpeta / ("bruto" + std::to_string(i));
        const int fd = ::open(archivo.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0) throw std::runtime_error("no se puede crear " + archivo.string());
        for (std::size_t quedan = tamanos[i]; quedan > 0;) {
            const ssize_t escritos = ::write(fd, bloque.data(), std::min(quedan, bloque.size()));
            if (escritos <= 0) throw std::runtime_error("no se puede escribir " + archivo.string());
            quedan -= static_cast<std::size_t>(escritos);
        }
        ::fsync(fd);
        ::close(fd);
    }
}

int medido(int argc, char** argv) {
    const std::string que = argv[2];
    if (que == "analizar") {
        analizar(argv[3]);
    } else if (que == "escribir") {
        std::vector<std::size_t> tamanos;
        for (int i = 4; i < argc; ++i) tamanos.push_back(std::stoul(argv[i]));
        escribir(argv[3], tamanos);
    } else if (que == "exportar") {
        toa::exportar::runExport(toa::exchange::loadExchangeDocument(argv[3]));
    } else if (que == "importar") {
        toa::importar::TablasImportacion tablas;
        std::optional<toa::xml::Document> docXML;
        toa::importar::runImport(argv[3], tablas, docXML);
    } else {
        throw std::runtime_error("medición desconocida: " + que);
    }
    return 0;
}

// ---- The table ----

struct Medida {
    double segundos = 0;  // process time
    long megas = 0;       // peak resident memory
};

Medida medir(const std::vector<std::string>& argumentos, int repeticiones) {
    Medida mejor{1e300, 0};
    for (int vez = 0; vez < repeticiones; ++vez) {
        std::vector<char*> argv;
        for (const std::string& argumento : argumentos)
            argv.push_back(const_cast<char*>(argumento.c_str()));
        argv.push_back(nullptr);
        const pid_t hijo = ::fork();
        if (hijo == 0) {
            ::execv("/proc/self/exe", argv.data());
            ::_exit(127);
        }
        int estado = 0;
        rusage uso{};
        if (hijo < 0 || ::wait4(hijo, &estado, 0, &uso) != hijo || !WIFEXITED(estado) ||
            WEXITSTATUS(estado) != 0) {
            throw std::runtime_error("falló la medición «" + argumentos[2] + "»");
        }
        const double segundos =
            static_cast<double>(uso.ru_utime.tv_sec + uso.ru_stime.tv_sec) +
            static_cast<double>(uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e6;
        mejor.segundos = std::min(mejor.segundos, segundos);
        mejor.megas = std::max(mejor.megas, uso.ru_maxrss / 1024);
    }
    return mejor;
}

std::size_t tamano(const fs::path& archivo) {
    return static_cast<std::size_t>(fs::file_size(archivo));
}

struct Fila {
    int escala;
    double documentoMB;
    Medida analizar, escribirTablas, exportar, escribirResultado, importar;
};

class Escuela {
  public:
    explicit Escuela(int escala) {
        std::string plantilla = (fs::temp_directory_path() / "toa-tabla-XXXXXX").string();
        if (::mkdtemp(plantilla.data()) == nullptr) throw std::runtime_error("mkdtemp");
        raiz_ = plantilla;
        documento_ = toa::bench::prepareSchool(raiz_, escala, toa::bench::solucRows(escala));
        ::setenv("WINEPREFIX", raiz_.c_str(), 1);
    }
    ~Escuela() {
        std::error_code ignorado;
        fs::remove_all(raiz_, ignorado);
    }
    const fs::path& raiz() const { return raiz_; }
    const fs::path& documento() const { return documento_; }
    fs::path xtemp() const { return raiz_ / "drive_c" / "XTEMP"; }

  private:
    fs::path raiz_;
    fs::path documento_;
};

std::vector<std::string> conTamanos(std::vector<std::string> argumentos,
                                    const std::vector<std::size_t>& tamanos) {
    for (const std::size_t t : tamanos) argumentos.push_back(std::to_string(t));
    return argumentos;
}

Fila medirEscala(const char* programa, int escala, int repeticiones) {
    const Escuela escuela(escala);
    const std::string doc = escuela.documento().string();
    Fila fila{escala, static_cast<double>(tamano(doc)) / (1024.0 * 1024.0), {}, {}, {}, {}, {}};
    fila.analizar = medir({programa, "medir", "analizar", doc}, repeticiones);
    fila.exportar = medir({programa, "medir", "exportar", doc}, repeticiones);
    std::vector<std::size_t> tablas;
    for (const std::string_view nombre :
         {"ASIGNOMT", "ASIGNOMT2", "PROFT", "AULAT", "CURSOST", "GRUPOST", "ASIGT", "DIASHORAST"}) {
        tablas.push_back(
            tamano(toa::tables::filesNamed(escuela.xtemp(), std::string(nombre) + ".DBF").at(0)));
    }
    const fs::path bruto = escuela.raiz() / "bruto";
    fs::create_directories(bruto);
    fila.escribirTablas =
        medir(conTamanos({programa, "medir", "escribir", bruto.string()}, tablas), repeticiones);
    fila.importar = medir({programa, "medir", "importar", doc}, repeticiones);
    const std::size_t resultado = tamano(toa::importar::nombreResultado(doc));
    fila.escribirResultado = medir(
        conTamanos({programa, "medir", "escribir", bruto.string()}, {resultado}), repeticiones);
    return fila;
}

double ms(const Medida& m) {
    return m.segundos * 1000.0;
}

void imprimir(const std::vector<Fila>& filas) {
    std::printf("%-6s %9s | %8s %8s %8s %5s %6s | %8s %8s %5s %6s | %7s\n", "escala", "doc MB",
                "analizar", "esc.tab", "exportar", "x base", "MB", "esc.res", "importar", "x base",
                "MB", "límite");
    for (const Fila& f : filas) {
        const double baseExportar = ms(f.analizar) + ms(f.escribirTablas);
        const double baseImportar = ms(f.analizar) + ms(f.escribirResultado);
        std::printf("%-6d %9.1f | %8.1f %8.1f %8.1f %5.2f %6ld | %8.1f %8.1f %5.2f %6ld | %7.0f\n",
                    f.escala, f.documentoMB, ms(f.analizar), ms(f.escribirTablas), ms(f.exportar),
                    ms(f.exportar) / baseExportar, f.exportar.megas, ms(f.escribirResultado),
                    ms(f.importar), ms(f.importar) / baseImportar, f.importar.megas,
                    3 * f.documentoMB + 30);
    }
    for (std::size_t i = 1; i < filas.size(); ++i) {
        const Fila& a = filas[i - 1];
        const Fila& b = filas[i];
        std::printf("escala %d -> %d (x%.0f datos): exportar x%.1f, importar x%.1f\n", a.escala,
                    b.escala, static_cast<double>(b.escala) / a.escala,
                    ms(b.exportar) / ms(a.exportar), ms(b.importar) / ms(a.importar));
    }
    std::printf(
        "Tiempos en ms de proceso (usuario + sistema), el menor de las repeticiones; "
        "MB: memoria residente máxima del proceso; límite: 3 x documento + 30 MB.\n");
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc >= 4 && std::string(argv[1]) == "medir") return medido(argc, argv);
        std::vector<int> escalas;
        int repeticiones = 3;
        for (int i = 1; i < argc; ++i) {
            const std::string argumento = argv[i];
            if (argumento == "--repeticiones" && i + 1 < argc) {
                repeticiones = std::stoi(argv[++i]);
            } else {
                escalas.push_back(std::stoi(argumento));
            }
        }
        if (escalas.empty()) escalas = {1, 10, 100};
        std::vector<Fila> filas;
        for (const int escala : escalas)
            filas.push_back(medirEscala(argv[0], escala, repeticiones));
        imprimir(filas);
        return 0;
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
}
