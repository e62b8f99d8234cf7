// `transorbeta exportar` as people run it: the real program, its exit codes and its texts.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>

#include "tests/export/prueba_export.h"

namespace {

namespace fs = std::filesystem;
namespace prueba = toa::exportar::prueba;

const fs::path kPrograma = TOA_TRANSORBETA;
const fs::path kEjemplo = fs::path(TOA_SOURCE_DIR) / "examples" / "centro.xml";

struct Salida {
    int codigo = -1;
    std::string out;
    std::string err;
};

// Runs the program with `argumentos` (already quoted for the shell) in the test's drive.
Salida ejecutar(const prueba::UnidadC& unidad, const std::string& argumentos) {
    const fs::path out = unidad.raiz() / "stdout.txt";
    const fs::path err = unidad.raiz() / "stderr.txt";
    const std::string orden = "'" + kPrograma.string() + "' " + argumentos + " >'" + out.string() +
                              "' 2>'" + err.string() + "'";
    const int estado = std::system(orden.c_str());
    Salida salida;
    salida.codigo = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
    salida.out = prueba::leerArchivo(out);
    salida.err = prueba::leerArchivo(err);
    return salida;
}

std::string entreComillas(const fs::path& ruta) {
    return "'" + ruta.string() + "'";
}

const std::string kResumenDelEjemplo =
    "ASIGNOMT: 25 filas\n"
    "ASIGNOMT2: 26 filas\n"
    "PROFT: 8 filas\n"
    "AULAT: 7 filas\n"
    "CURSOST: 4 filas\n"
    "GRUPOST: 8 filas\n"
    "ASIGT: 39 filas\n"
    "DIASHORAST: 56 filas\n"
    "Proceso finalizado\n";

TEST(Exportar, EjemploCompletoSinTabuleoIni) {
    prueba::UnidadC unidad;
    const Salida salida = ejecutar(unidad, "exportar " + entreComillas(kEjemplo));
    EXPECT_EQ(salida.codigo, 0) << salida.err;
    EXPECT_EQ(salida.out, kResumenDelEjemplo);
    EXPECT_EQ(salida.err, "");
    EXPECT_EQ(prueba::contenido(unidad.xtemp()).size(), 8u);
    EXPECT_FALSE(fs::exists(kPrograma.parent_path() / "Tabuleo.ini"));
}

// The document named as the window's file dialog would name it, on drive C:.
TEST(Exportar, DocumentoConRutaDeWindows) {
    prueba::UnidadC unidad;
    prueba::escribirArchivo(unidad.raiz() / "drive_c" / "Datos" / "centro.xml",
                            prueba::leerArchivo(kEjemplo));
    const Salida salida = ejecutar(unidad, "exportar 'c:\\datos\\CENTRO.XML'");
    EXPECT_EQ(salida.codigo, 0) << salida.err;
    EXPECT_EQ(salida.out, kResumenDelEjemplo);
}

struct CasoFallo {
    const char* caso;
    const char* nombre;     // of the document named, in the drive's folder
    const char* documento;  // written under that name; nullptr: none
    std::string mensaje;    // the beginning of standard error
    friend void PrintTo(const CasoFallo& c, std::ostream* os) { *os << c.caso; }
};

class FalloTest : public ::testing::TestWithParam<CasoFallo> {};

// Every failure: exit 1, nothing on standard output, the message on standard error, and the
// tables of the earlier export byte for byte as they were.
TEST_P(FalloTest, CodigoUnoYTablasIntactas) {
    const CasoFallo& c = GetParam();
    prueba::UnidadC unidad;
    ASSERT_EQ(ejecutar(unidad, "exportar " + entreComillas(kEjemplo)).codigo, 0);
    const auto antes = prueba::contenido(unidad.xtemp());
    const fs::path documento = unidad.raiz() / c.nombre;
    if (c.documento) prueba::escribirArchivo(documento, c.documento);
    fs::create_directories(unidad.raiz() / "carpeta.xml");
    const Salida salida = ejecutar(unidad, "exportar " + entreComillas(documento));
    EXPECT_EQ(salida.codigo, 1) << c.caso;
    EXPECT_EQ(salida.out, "") << c.caso;
    EXPECT_EQ(salida.err.substr(0, c.mensaje.size()), c.mensaje) << c.caso << ": " << salida.err;
    EXPECT_TRUE(salida.err.ends_with('\n')) << c.caso;
    EXPECT_EQ(prueba::contenido(unidad.xtemp()), antes) << c.caso;
}

INSTANTIATE_TEST_SUITE_P(
    Casos, FalloTest,
    ::testing::Values(
        CasoFallo{"missing document", "falta.xml", nullptr, "No existe archivo\n"},
        CasoFallo{"a folder is no document", "carpeta.xml", nullptr, "No existe archivo\n"},
        CasoFallo{"document that does not parse", "doc.xml", "<SERVICIO>\n<SALIDAS>\n</SERVICIO>\n",
                  "El documento XML "},
        CasoFallo{"minutes that are not an integer", "doc.xml",
                  "<SERVICIO><SALIDAS>"
                  "<listasal seq=\"GRUPOS\"><listasal><salida>G</salida><salida>1 ESO A</salida>"
                  "<salida>C1</salida></listasal></listasal>"
                  "<listasal seq=\"MATERIAS\"><listasal><salida>M</salida><salida>Mates</salida>"
                  "<salida>MATE</salida><salida>C1</salida><salida>1,5</salida></listasal>"
                  "</listasal></SALIDAS></SERVICIO>",
                  "'1,5' no es un valor entero válido\n"}));

TEST(Exportar, MensajeDelDocumentoQueNoSeLee) {
    prueba::UnidadC unidad;
    prueba::escribirArchivo(unidad.raiz() / "roto.xml", "<SERVICIO>\n<SALIDAS>\n</SERVICIO>\n");
    const Salida salida =
        ejecutar(unidad, "exportar " + entreComillas(unidad.raiz() / "roto.xml"));
    EXPECT_EQ(salida.codigo, 1);
    EXPECT_NE(salida.err.find("roto.xml"), std::string::npos) << salida.err;
    EXPECT_NE(salida.err.find("(línea 3, columna"), std::string::npos) << salida.err;
    EXPECT_FALSE(fs::exists(unidad.xtemp() / "ASIGNOMT.DBF"));
}

TEST(Exportar, SinCarpetaDeTablas) {
    prueba::UnidadC unidad;
    fs::remove_all(unidad.xtemp());
    const Salida salida = ejecutar(unidad, "exportar " + entreComillas(kEjemplo));
    EXPECT_EQ(salida.codigo, 1);
    EXPECT_NE(salida.err.find("XTEMP"), std::string::npos) << salida.err;
    EXPECT_FALSE(fs::exists(unidad.xtemp()));
}

TEST(Exportar, LineaDeOrdenes) {
    prueba::UnidadC unidad;
    const Salida sinDocumento = ejecutar(unidad, "exportar");
    EXPECT_EQ(sinDocumento.codigo, 2);
    EXPECT_NE(sinDocumento.err.find("Uso: transorbeta exportar DOCUMENTO"), std::string::npos);
    EXPECT_EQ(ejecutar(unidad, "exportar a.xml b.xml").codigo, 2);
    const Salida version = ejecutar(unidad, "--version");
    EXPECT_EQ(version.codigo, 0);
    EXPECT_EQ(version.out, "TransTabuleoArdel V-1.6\n");
    const Salida ayuda = ejecutar(unidad, "--help");
    EXPECT_EQ(ayuda.codigo, 0);
    EXPECT_NE(ayuda.out.find("exportar"), std::string::npos);
}

}  // namespace
