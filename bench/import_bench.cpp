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
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bench/school_generator.h"
#include "exchange/exchange_document.h"
#include "export/export_run.h"
#include "import/import_run.h"
#include "tables/dbase_file.h"
#include "tables/definitions.h"

namespace {

namespace fs = std::filesystem;
using toa::tables::Table;

std::vector<std::string> columna(const Table& tabla, std::string_view campo) {
    std::vector<std::string> valores;
    const std::size_t indice = tabla.fieldIndex(campo);
    for (std::size_t fila = 0; fila < tabla.recordCount(); ++fila) {
        valores.push_back(tabla.asString(fila, indice));
    }
    return valores;
}

// The timetable a timetabling program would compute for the school: every teacher, room and
// assignment used, one row in eleven not placed (day 0), one in seven for a group the subject
// is not taught in, so that the subject fallback runs too.
Table solucGrande(const toa::exportar::ExportTables& escuela, std::size_t filas) {
    const std::vector<std::string> asignaturas = columna(escuela.ASIGT, "CASIG");
    const std::vector<std::string> grupos = columna(escuela.ASIGT, "CGRUP");
    const std::vector<std::string> profesores = columna(escuela.PROFT, "ABREV");
    const std::vector<std::string> aulas = columna(escuela.AULAT, "ABREV");
    const std::vector<std::string> tareas = columna(escuela.ASIGNOMT, "COD");
    Table soluc(toa::tables::SOLUC);
    const std::size_t asig = soluc.fieldIndex("ASIG");
    const std::size_t prof = soluc.fieldIndex("PROF");
    const std::size_t codgrupo = soluc.fieldIndex("CODGRUPO");
    const std::size_t aula = soluc.fieldIndex("AULA");
    const std::size_t tarea = soluc.fieldIndex("TAREA");
    const std::size_t dia = soluc.fieldIndex("DIA");
    const std::size_t hora = soluc.fieldIndex("HORA");
    const std::size_t sesiones = soluc.fieldIndex("SESIONES");
    for (std::size_t i = 0; i < filas; ++i) {
        const std::size_t fila = soluc.append();
        const std::size_t asignacion = i * 7919 % asignaturas.size();
        soluc.setString(fila, asig, asignaturas[asignacion]);
        soluc.setString(fila, codgrupo,
                        grupos[i % 7 == 3 ? (asignacion + 1) % grupos.size() : asignacion]);
        soluc.setString(fila, prof, profesores[i % profesores.size()]);
        soluc.setString(fila, aula, aulas[i % aulas.size()]);
        soluc.setString(fila, tarea, tareas[tareas.size() - 1 - i % 30 % tareas.size()]);
        soluc.setFloat(fila, dia, i % 11 == 0 ? 0 : static_cast<double>(1 + i % 5));
        soluc.setFloat(fila, hora, static_cast<double>(1 + i / 5 % 40));
        soluc.setFloat(fila, sesiones, 1);
    }
    return soluc;
}

// The school with a SOLUC of `filas` rows, in its own WINEPREFIX; removed at the end of the
// program.
class Escuela {
  public:
    explicit Escuela(std::size_t filas) : filas_(filas) {
        std::string plantilla = (fs::temp_directory_path() / "toa-bench-import-XXXXXX").string();
        raiz_ = ::mkdtemp(plantilla.data());
        fs::create_directories(raiz_ / "drive_c" / "XTEMP");
        documento_ = raiz_ / "centro.xml";
        std::ofstream(documento_, std::ios::binary) << toa::bench::schoolDocument(1);
        const toa::exportar::ExportTables tablas =
            toa::exportar::buildExportTables(toa::exchange::loadExchangeDocument(documento_));
        toa::exportar::writeExportTables(xtemp(), tablas);
        toa::tables::replaceTable(xtemp(), solucGrande(tablas, filas_));
    }
    ~Escuela() { fs::remove_all(raiz_); }

    // The tables are found through WINEPREFIX, so it follows the school being measured.
    void usar() const { ::setenv("WINEPREFIX", raiz_.c_str(), 1); }
    std::string documento() const { return documento_.string(); }
    std::size_t filas() const { return filas_; }

  private:
    fs::path xtemp() const { return raiz_ / "drive_c" / "XTEMP"; }
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
