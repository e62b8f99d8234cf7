// The example school there and back: export, the timetable SOLUC as a timetabling program
// writes it (python3-dbf), import.
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "exchange/exchange_document.h"
#include "export/export_run.h"
#include "import/import_run.h"
#include "prueba.h"

namespace toa::importar {
namespace {

namespace fs = std::filesystem;

const fs::path kFuente = TOA_SOURCE_DIR;

// The document indented and in UTF-8, so that the expected result reads and diffs as text.
std::string legible(const fs::path& archivo) {
    xmlDocPtr doc = xmlReadFile(archivo.c_str(), nullptr, XML_PARSE_NOBLANKS | XML_PARSE_NONET);
    if (doc == nullptr) return "no se puede leer " + archivo.string();
    xmlChar* texto = nullptr;
    int longitud = 0;
    xmlDocDumpFormatMemoryEnc(doc, &texto, &longitud, "UTF-8", 1);
    std::string resultado(reinterpret_cast<const char*>(texto), static_cast<std::size_t>(longitud));
    xmlFree(texto);
    xmlFreeDoc(doc);
    return resultado;
}

TEST(IdaYVuelta, CentroDeEjemplo) {
    prueba::UnidadC unidad;
    const fs::path documento = unidad.raiz() / "centro.xml";
    fs::copy_file(kFuente / "examples" / "centro.xml", documento);
    const std::string original = prueba::leerArchivo(documento);

    exportar::runExport(exchange::loadExchangeDocument(documento));
    const std::string soluc = std::string(TOA_PYTHON) + " '" +
                              (kFuente / "examples" / "make_soluc.py").string() + "' '" +
                              (kFuente / "examples" / "soluc.csv").string() + "' '" +
                              (unidad.xtemp() / "SOLUC.DBF").string() + "'";
    ASSERT_EQ(std::system(soluc.c_str()), 0) << soluc;

    TablasImportacion tablas;
    std::optional<xml::Document> docXML;
    const ImportSummary resumen = runImport(documento.string(), tablas, docXML);
    EXPECT_EQ(resumen.resultado, unidad.raiz() / "ResultadoOrbetacentro.xml");
    EXPECT_EQ(resumen.profesores, 8u);
    EXPECT_EQ(resumen.sesiones, 28u);
    EXPECT_EQ(prueba::leerArchivo(documento), original);

    // What comes before the lists is the exchange document's own, declaration and all.
    const std::string resultado = prueba::leerArchivo(resumen.resultado);
    const std::size_t salidas = original.find("<SALIDAS>");
    ASSERT_NE(salidas, std::string::npos);
    EXPECT_EQ(resultado.substr(0, salidas), original.substr(0, salidas));

    const fs::path esperado = kFuente / "tests" / "import" / "golden" / "ResultadoOrbetacentro.xml";
    const std::string obtenido = legible(resumen.resultado);
    if (!fs::exists(esperado) || obtenido != prueba::leerArchivo(esperado)) {
        const fs::path copia = fs::current_path() / "ResultadoOrbetacentro.obtenido.xml";
        prueba::escribirArchivo(copia, obtenido);
        ADD_FAILURE() << "el resultado difiere de " << esperado << "; obtenido en " << copia;
    }
}

}  // namespace
}  // namespace toa::importar
