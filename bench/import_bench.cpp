// The import of the large school: its tables as the export writes them and a SOLUC of 6,000 rows,
// then of ten times as many, each in a drive C: of its own.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bench/school_generator.h"
#include "import/import_run.h"

namespace {

namespace fs = std::filesystem;

// The school with a SOLUC of `filas` rows, in its own WINEPREFIX; removed at the end of the
// program.
class Escuela {
  public:
    explicit Escuela(std::size_t filas) : filas_(filas) {
        std::string plantilla = (fs::temp_directory_path() / "toa-bench-import-XXXXXX").string();
        raiz_ = ::mkdtemp(plantilla.data());
        documento_ = toa::bench::prepareSchool(raiz_, 1, filas_);
    }
    ~Escuela() { fs::remove_all(raiz_); }

    // The tables are found through WINEPREFIX, so it follows the school being measured.
    void usar() const { ::setenv("WINEPREFIX", raiz_.c_str(), 1); }
    std::string documento() const { return documento_.string(); }
    std::size_t filas() const { return filas_; }

  private:
    fs::path raiz_;
    fs::path documento_;
    std::size_t filas_ = 0;
};

const Escuela& escuela(std::size_t filas) {
    static std::map<std::size_t, Escuela> escuelas;
    return escuelas.try_emplace(filas, filas).first->second;
}

double segundos(const timeval& tiempo) {
    return static_cast<double>(tiempo.tv_sec) + static_cast<double>(tiempo.tv_usec) / 1e6;
}

// One import in a process of its own, as `transorbeta importar` runs it; its time is that
// process's CPU time, user and system.
double importarEnUnProceso(const Escuela& preparada) {
    const pid_t hijo = ::fork();
    if (hijo == 0) {
        try {
            toa::importar::TablasImportacion tablas;
            std::optional<toa::xml::Document> docXML;
            toa::importar::runImport(preparada.documento(), tablas, docXML);
        } catch (...) {
            ::_exit(1);
        }
        ::_exit(0);
    }
    int estado = 0;
    rusage uso{};
    if (hijo < 0 || ::wait4(hijo, &estado, 0, &uso) != hijo || !WIFEXITED(estado) ||
        WEXITSTATUS(estado) != 0) {
        return -1;
    }
    return segundos(uso.ru_utime) + segundos(uso.ru_stime);
}

void BM_Importar(benchmark::State& state) {
    const Escuela& preparada = escuela(static_cast<std::size_t>(state.range(0)));
    preparada.usar();
    // What the preparation freed stays out of the imports' heaps.
    ::malloc_trim(0);
    for (auto _ : state) {
        const double tiempo = importarEnUnProceso(preparada);
        if (tiempo < 0) {
            state.SkipWithError("la importación falló");
            break;
        }
        state.SetIterationTime(tiempo);
    }
    state.counters["filas_SOLUC"] = static_cast<double>(preparada.filas());
}
// With --benchmark_repetitions the least time shows the import's own cost on a busy machine.
BENCHMARK(BM_Importar)
    ->Arg(6000)
    ->Arg(60000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->ComputeStatistics("min", [](const std::vector<double>& tiempos) {
        return *std::min_element(tiempos.begin(), tiempos.end());
    });

}  // namespace

BENCHMARK_MAIN();
