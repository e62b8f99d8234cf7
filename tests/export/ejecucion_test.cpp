// The whole run on disk: the example school against its expected tables, and failing runs that
// must leave every table file as it was.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "exchange/exchange_document.h"
#include "export/export_run.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "tables/dbase_file.h"
#include "tables/table_component.h"
#include "tests/export/prueba_export.h"

namespace toa::exportar {
namespace {

namespace fs = std::filesystem;

const fs::path kFuente = TOA_SOURCE_DIR;
const fs::path kEjemplo = kFuente / "examples" / "centro.xml";
const fs::path kEsperado = kFuente / "tests" / "export" / "golden";

const ExportSummary kFilasDelEjemplo = {{"ASIGNOMT", 25}, {"ASIGNOMT2", 26}, {"PROFT", 8},
                                        {"AULAT", 7},     {"CURSOST", 4},    {"GRUPOST", 8},
                                        {"ASIGT", 39},    {"DIASHORAST", 56}};

// TOA_UPDATE_GOLDEN=1 writes the expected tables anew from the run, to be read and checked by
// hand before they are committed.
TEST(EjemploCentro, TablasEsperadas) {
    prueba::UnidadC unidad;
    prueba::escribirArchivo(unidad.xtemp() / "ASIGNOMT.MDX", "indice viejo");
    prueba::escribirArchivo(unidad.xtemp() / "asigt.dbf", "tabla vieja");
    const ExportSummary resumen = runExport(exchange::loadExchangeDocument(kEjemplo));
    EXPECT_EQ(resumen, kFilasDelEjemplo);
    EXPECT_FALSE(fs::exists(unidad.xtemp() / "ASIGNOMT.MDX"));
    const bool actualizar = std::getenv("TOA_UPDATE_GOLDEN") != nullptr;
    for (const auto& [tabla, filas] : resumen) {
        const std::string texto =
            prueba::volcado(tables::readDbfFile(mapWindowsPath("C:\\XTEMP\\" + tabla + ".DBF")));
        const fs::path esperado = kEsperado / (tabla + ".txt");
        if (actualizar) prueba::escribirArchivo(esperado, texto);
        EXPECT_EQ(texto, prueba::leerArchivo(esperado)) << tabla;
    }
    // An old file is found whatever its letter case, and replaced; nothing else stays behind.
    std::vector<std::string> archivos;
    for (const auto& [nombre, bytes] : prueba::contenido(unidad.xtemp()))
        archivos.push_back(nombre);
    EXPECT_EQ(archivos, (std::vector<std::string>{"ASIGNOMT.DBF", "ASIGNOMT2.DBF", "AULAT.DBF",
                                                  "CURSOST.DBF", "DIASHORAST.DBF", "GRUPOST.DBF",
                                                  "PROFT.DBF", "asigt.dbf"}));
}

struct CasoFallo {
    const char* caso;
    std::string listas;
    const char* mensaje;
    friend void PrintTo(const CasoFallo& c, std::ostream* os) { *os << c.caso; }
};

class FalloTest : public ::testing::TestWithParam<CasoFallo> {};

// A run that fails on the data changes no file, stale index files included.
TEST_P(FalloTest, NoCambiaNingunArchivo) {
    prueba::UnidadC unidad;
    runExport(exchange::loadExchangeDocument(kEjemplo));
    prueba::escribirArchivo(unidad.xtemp() / "GRUPOST.MDX", "indice viejo");
    const auto antes = prueba::contenido(unidad.xtemp());
    try {
        runExport(prueba::documento(GetParam().listas));
        FAIL() << "se esperaba un error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), GetParam().mensaje);
    }
    EXPECT_EQ(prueba::contenido(unidad.xtemp()), antes) << GetParam().caso;
}

INSTANTIATE_TEST_SUITE_P(
    Casos, FalloTest,
    ::testing::Values(
        CasoFallo{"minutes in step 7",
                  prueba::lista("GRUPOS", {{"G1", "1 ESO A", "C1"}}) +
                      prueba::lista("MATERIAS", {{"M1", "Materia", "MATE", "C1", "1,5"}}),
                  "'1,5' no es un valor entero válido"},
        CasoFallo{"time in step 8",
                  prueba::lista("MATERIAS", {{"M1", "Materia", "MATE", "C1", "60"}}) +
                      prueba::intervalos({{{"INICIO", "8h"}, {"FIN", "9:00"}, {"ORDEN", "1"}}}),
                  "'' no es un valor entero válido"}));

// A table the timetabling program holds open refuses the run before any table is replaced.
TEST(Ejecucion, TablaEnUsoNoCambiaNingunArchivo) {
    prueba::UnidadC unidad;
    runExport(exchange::loadExchangeDocument(kEjemplo));
    const auto antes = prueba::contenido(unidad.xtemp());
    tables::TableComponent enUso("c:\\xtemp", "ASIGT");
    enUso.open();
    try {
        runExport(prueba::documento(""));
        FAIL() << "se esperaba un error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("en uso"), std::string::npos) << e.what();
    }
    EXPECT_EQ(prueba::contenido(unidad.xtemp()), antes);
}

TEST(Ejecucion, SinCarpetaDeTablasNoCreaNada) {
    prueba::UnidadC unidad;
    fs::remove_all(unidad.xtemp());
    try {
        runExport(prueba::documento(""));
        FAIL() << "se esperaba un error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("XTEMP"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(fs::exists(unidad.xtemp()));
}

}  // namespace
}  // namespace toa::exportar
