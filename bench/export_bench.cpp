// The export of the large synthetic school, in process time: the eight tables built in memory,
// and the whole run that also writes them into C:\XTEMP of a drive of its own.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "bench/school_generator.h"
#include "export/codigo_unico.h"
#include "export/export_run.h"

namespace {

namespace fs = std::filesystem;

toa::xml::Document escuela(int escala) {
    toa::xml::Document doc;
    doc.loadMemory(toa::bench::schoolDocument(escala), "escuela.xml");
    return doc;
}

// A Wine drive with an empty C:\XTEMP in a temporary folder, named by WINEPREFIX.
class Unidad {
  public:
    Unidad() {
        std::string plantilla = (fs::temp_directory_path() / "toa-bench-XXXXXX").string();
        if (!::mkdtemp(plantilla.data())) throw std::runtime_error("mkdtemp");
        prefijo_ = plantilla;
        fs::create_directories(prefijo_ / "drive_c" / "XTEMP");
        ::setenv("WINEPREFIX", prefijo_.c_str(), 1);
    }
    ~Unidad() {
        std::error_code ignorado;
        fs::remove_all(prefijo_, ignorado);
    }

  private:
    fs::path prefijo_;
};

void filasEscritas(benchmark::State& state, const toa::exportar::ExportTables& tablas) {
    state.counters["ASIGT"] = static_cast<double>(tablas.ASIGT.recordCount());
    state.counters["ASIGNOMT"] = static_cast<double>(tablas.ASIGNOMT.recordCount());
}

void TablasEnMemoria(benchmark::State& state) {
    const toa::xml::Document doc = escuela(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const toa::exportar::ExportTables tablas = toa::exportar::buildExportTables(doc);
        benchmark::DoNotOptimize(&tablas);
    }
    filasEscritas(state, toa::exportar::buildExportTables(doc));
}

void ExportacionCompleta(benchmark::State& state) {
    const toa::xml::Document doc = escuela(static_cast<int>(state.range(0)));
    const Unidad unidad;
    for (auto _ : state) {
        const toa::exportar::ExportSummary resumen = toa::exportar::runExport(doc);
        benchmark::DoNotOptimize(&resumen);
    }
}

// Hundreds of candidates on one base, as the subjects of many courses clash.
void ChoquesEnUnaBase(benchmark::State& state) {
    for (auto _ : state) {
        toa::exportar::ListaCodigos lista;
        for (int i = 0; i < state.range(0); ++i) {
            benchmark::DoNotOptimize(toa::exportar::CodigoUnico("MATE", 3, lista));
        }
    }
}

}  // namespace

BENCHMARK(TablasEnMemoria)->Arg(1)->Arg(10)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ExportacionCompleta)
    ->Arg(1)
    ->Arg(10)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ChoquesEnUnaBase)->Arg(100)->Arg(1000)->MeasureProcessCPUTime();

BENCHMARK_MAIN();
