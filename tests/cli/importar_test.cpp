// transorbeta importar, the real program.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "../import/prueba.h"
#include "tables/dbase_file.h"
#include "tables/definitions.h"

namespace toa::importar {
namespace {

namespace fs = std::filesystem;
using prueba::tabla;

struct Salida {
    int codigo;
    std::string out;
    std::string err;
};

struct Importar : ::testing::Test {
    prueba::UnidadC unidad;
    fs::path documento = unidad.raiz() / "centro.xml";
    fs::path resultado = unidad.raiz() / "ResultadoOrbetacentro.xml";
    fs::path programa = TOA_TRANSORBETA;

    void SetUp() override {
        prueba::escribirArchivo(documento, "<SERVICIO><SALIDAS/></SERVICIO>");
        for (const tables::TableDef* def :
             {&tables::GRUPOST, &tables::CURSOST, &tables::AULAT, &tables::ASIGNOMT,
              &tables::ASIGNOMT2, &tables::DIASHORAST, &tables::ASIGT}) {
            tables::replaceTable(unidad.xtemp(), tables::Table(*def));
        }
        tables::replaceTable(unidad.xtemp(),
                             tabla(tables::PROFT, {{{"ABREV", "AB"}}, {{"ABREV", "CD"}}}));
        tables::replaceTable(unidad.xtemp(),
                             tabla(tables::SOLUC, {{{"PROF", "AB"}, {"DIA", 1.0}, {"HORA", 1.0}},
                                                   {{"PROF", "AB"}, {"DIA", 0.0}, {"HORA", 0.0}},
                                                   {{"PROF", "CD"}, {"DIA", 2.0}, {"HORA", 3.0}}}));
    }

    Salida importar(const std::string& argumento) const {
        const fs::path out = unidad.raiz() / "out.txt";
        const fs::path err = unidad.raiz() / "err.txt";
        const std::string orden = "'" + programa.string() + "' importar '" + argumento + "' >'" +
                                  out.string() + "' 2>'" + err.string() + "'";
        const int estado = std::system(orden.c_str());
        Salida salida{WIFEXITED(estado) ? WEXITSTATUS(estado) : -1, prueba::leerArchivo(out),
                      prueba::leerArchivo(err)};
        fs::remove(out);
        fs::remove(err);
        return salida;
    }
};

TEST_F(Importar, EscribeElResultadoYLoResume) {
    const Salida salida = importar(documento.string());
    EXPECT_EQ(salida.codigo, 0);
    EXPECT_EQ(salida.out, "Documento de resultado: " + resultado.string() +
                              "\nProfesores: 2\nSesiones: 2\nProceso finalizado\n");
    EXPECT_EQ(salida.err, "");
    EXPECT_TRUE(fs::is_regular_file(resultado));
    EXPECT_FALSE(fs::exists(programa.parent_path() / "Tabuleo.ini"));
}

TEST_F(Importar, SinDocumentoNoHaceNada) {
    for (const fs::path& ausente : {unidad.raiz() / "otro.xml", unidad.xtemp()}) {
        const Salida salida = importar(ausente.string());
        EXPECT_EQ(salida.codigo, 1) << ausente;
        EXPECT_EQ(salida.out, "") << ausente;
        EXPECT_EQ(salida.err, "No existe archivo\n") << ausente;
    }
    EXPECT_FALSE(fs::exists(resultado));
}

TEST_F(Importar, UnFalloSaleConSuMensaje) {
    fs::remove(unidad.xtemp() / "SOLUC.DBF");
    const Salida salida = importar(documento.string());
    EXPECT_EQ(salida.codigo, 1);
    EXPECT_EQ(salida.out, "");
    EXPECT_NE(salida.err.find("SOLUC"), std::string::npos) << salida.err;
    EXPECT_FALSE(fs::exists(resultado));
}

}  // namespace
}  // namespace toa::importar
