// Hostile exchange documents: each ends in a clear error or a correct result, in bounded time
// and memory, and what an outside entity names never shows anywhere.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <fstream>
#include <functional>

#include "../import/prueba.h"
#include "entorno.h"
#include "exchange/exchange_document.h"
#include "export/export_run.h"
#include "platform/ansi.h"

namespace toa::stress {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

std::string repetir(std::string_view trozo, std::size_t veces) {
    std::string texto;
    texto.reserve(trozo.size() * veces);
    for (std::size_t i = 0; i < veces; ++i) texto += trozo;
    return texto;
}

std::string conSalidas(std::string_view listas, std::string_view declaracion = "UTF-8",
                       std::string_view prologo = "") {
    return "<?xml version=\"1.0\" encoding=\"" + std::string(declaracion) + "\"?>\n" +
           std::string(prologo) + "<SERVICIO><SALIDAS>" + std::string(listas) +
           "</SALIDAS></SERVICIO>\n";
}

std::string profesor(std::string_view nombre, std::string_view abrev) {
    return "<listasal><salida>1001</salida><salida>01/09/2020</salida><salida>" +
           std::string(nombre) + "</salida><salida>" + std::string(abrev) + "</salida></listasal>";
}

// What the child reports: the export's row counts and the first teacher, or the error.
std::string exportarInforme(const xml::Document& doc) {
    const exportar::ExportTables tablas = exportar::buildExportTables(doc);
    std::string informe = "PROFT=" + std::to_string(tablas.PROFT.recordCount()) +
                          " ASIGNOMT=" + std::to_string(tablas.ASIGNOMT.recordCount());
    if (tablas.PROFT.recordCount() > 0) {
        informe += " primero=" +
                   utf8FromAnsi(tablas.PROFT.asString(0, tablas.PROFT.fieldIndex("NOMBRE"))) + "/" +
                   utf8FromAnsi(tablas.PROFT.asString(0, tablas.PROFT.fieldIndex("ABREV")));
    }
    return informe;
}

struct Hostil {
    const char* nombre;
    std::function<std::string()> bytes;
    // The run's error (exit 3) or its report (exit 0) contains this.
    std::string espera;
    bool error;
};

class Hostiles : public ::testing::Test {
  protected:
    // Loaded and exported in a child: a runaway parse cannot take the test with it. Whatever
    // the child printed on standard error besides its message comes back in `ruido`.
    Final probar(const std::string& bytes, std::string& ruido) {
        const fs::path errores = unidad_.raiz() / "stderr.txt";
        const Final final = enHijo(
            [&] {
                xml::Document doc;
                doc.loadMemory(bytes, "hostil.xml");
                return exportarInforme(doc);
            },
            [&] {
                const int fd = ::open(errores.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
                ::dup2(fd, 2);
                ::close(fd);
            },
            30);
        ruido = importar::prueba::leerArchivo(errores);
        return final;
    }
    importar::prueba::UnidadC unidad_;
};

TEST_F(Hostiles, DocumentosQueNoDebenRomperNada) {
    const fs::path secreto = unidad_.raiz() / "secreto.txt";
    importar::prueba::escribirArchivo(secreto, "CLAVE-SECRETA-7781");
    const std::string externa =
        "<!DOCTYPE SERVICIO [<!ENTITY x SYSTEM \"file://" + secreto.string() + "\">]>\n";
    const std::string parametro =
        "<!DOCTYPE SERVICIO [<!ENTITY % p SYSTEM \"file://" + secreto.string() + "\"> %p;]>\n";
    std::string risas = "<!DOCTYPE SERVICIO [<!ENTITY l0 \"ja\">";
    for (int i = 1; i < 10; ++i) {
        risas += "<!ENTITY l" + std::to_string(i) + " \"" +
                 repetir("&l" + std::to_string(i - 1) + ";", 10) + "\">";
    }
    risas += "]>\n";
    const std::string mega(1 << 20, 'N');

    const std::vector<Hostil> casos = {
        {"entidad externa a un archivo local",
         [&] {
             return conSalidas(
                 "<listasal seq=\"PROFESORES\">" + profesor("&x;", "X") + "</listasal>", "UTF-8",
                 externa);
         },
         "declara la entidad «x»", true},
        {"entidad de parámetro externa", [&] { return conSalidas("", "UTF-8", parametro); },
         "declara la entidad «p»", true},
        {"mil millones de risas",
         [&] {
             return conSalidas(
                 "<listasal seq=\"PROFESORES\">" + profesor("&l9;", "X") + "</listasal>", "UTF-8",
                 risas);
         },
         "declara la entidad «l0»", true},
        {"100.000 niveles de anidamiento",
         [] { return conSalidas(repetir("<a>", 100000) + repetir("</a>", 100000)); },
         "no es válido (línea", true},
        {"UTF-8 no válido",
         [] {
             return conSalidas("<listasal seq=\"PROFESORES\">" +
                               profesor("Garc\xED"
                                        "a",
                                        "G") +
                               "</listasal>");
         },
         "no es válido (línea", true},
        {"bytes NUL en un texto",
         [] {
             return conSalidas("<listasal seq=\"PROFESORES\">" +
                               profesor("Ana\0Mar\xC3\xAD"
                                        "a"s,
                                        "A") +
                               "</listasal>");
         },
         "no es válido (línea", true},
        {"declara ISO-8859-1 y trae UTF-8: se lee como declara",
         [] {
             return conSalidas("<listasal seq=\"PROFESORES\">" +
                                   profesor("Garc\xC3\xAD"
                                            "a",
                                            "G") +
                                   "</listasal>",
                               "ISO-8859-1");
         },
         "primero=Garc\xC3\x83\xC2\xAD"
         "a/G",
         false},
        {"declara UTF-16 y trae 8 bits",
         [] {
             return conSalidas(
                 "<listasal seq=\"PROFESORES\">" + profesor("Ana", "A") + "</listasal>", "UTF-16");
         },
         "no es válido", true},
        {"bytes que la codificación declarada no convierte",
         [] { return conSalidas("<x>\x82\xFF\x82</x>", "Shift_JIS"); }, "no es válido", true},
        {"codificación desconocida", [] { return conSalidas("", "x-klingon"); }, "no es válido",
         true},
        {"atributo de un megabyte",
         [&] {
             return conSalidas("<listasal seq=\"PROFESORES\" nota=\"" + mega + "\">" +
                               profesor("Ana", "A") + "</listasal>");
         },
         "PROFT=1", false},
        {"texto de un megabyte, cortado a su campo",
         [&] {
             return conSalidas("<listasal seq=\"PROFESORES\">" + profesor(mega, "A") +
                               "</listasal>");
         },
         "primero=" + std::string(40, 'N') + "/A", false},
        {"texto de once megabytes",
         [&] {
             return conSalidas("<listasal seq=\"PROFESORES\">" + profesor(repetir(mega, 11), "A") +
                               "</listasal>");
         },
         "primero=" + std::string(40, 'N') + "/A", false},
        {"miles de listas con el mismo seq",
         [] {
             std::string listas;
             for (int i = 0; i < 5000; ++i) {
                 listas += "<listasal seq=\"PROFESORES\">" +
                           profesor("P" + std::to_string(i), "P" + std::to_string(i)) +
                           "</listasal>";
             }
             return conSalidas(listas);
         },
         "PROFT=5000 ASIGNOMT=0 primero=P0/P0", false},
    };
    for (const Hostil& caso : casos) {
        std::string ruido;
        const Final final = probar(caso.bytes(), ruido);
        EXPECT_EQ(ruido, "") << caso.nombre;
        EXPECT_EQ(final.senal, 0) << caso.nombre << ": señal " << final.senal;
        EXPECT_EQ(final.codigo, caso.error ? 3 : 0) << caso.nombre << ": " << final.informe;
        EXPECT_NE(final.informe.find(caso.espera), std::string::npos)
            << caso.nombre << ": " << final.informe;
        EXPECT_EQ(final.informe.find("CLAVE-SECRETA"), std::string::npos) << caso.nombre;
    }
}

// A 200 MB document: its bulk in the header lists the export does not read, the example school
// in its SALIDAS. The tables are the example's, the memory a small multiple of the file.
TEST_F(Hostiles, DocumentoDeDoscientosMegabytes) {
    const std::string centro = importar::prueba::leerArchivo(ejemplo());
    const std::size_t salidas = centro.find("<SALIDAS>");
    ASSERT_NE(salidas, std::string::npos);
    const fs::path grande = unidad_.raiz() / "grande.xml";
    std::size_t tamano = 0;
    {
        std::ofstream salida(grande, std::ios::binary);
        salida << centro.substr(0, salidas) << "<RELLENO>\n";
        const std::string entrada =
            "<entrada nombre=\"RELLENO\">" + std::string(4000, 'x') + "</entrada>\n";
        for (std::size_t i = 0; i < 200u * 1024 * 1024 / entrada.size(); ++i) salida << entrada;
        salida << "</RELLENO>\n" << centro.substr(salidas);
        tamano = static_cast<std::size_t>(salida.tellp());
    }
    const std::string esperado = exportarInforme(exchange::loadExchangeDocument(ejemplo()));
    const Final final = enHijo(
        [&] {
            const std::string informe = exportarInforme(exchange::loadExchangeDocument(grande));
            rusage uso{};
            ::getrusage(RUSAGE_SELF, &uso);
            return informe + "|" + std::to_string(uso.ru_maxrss / 1024);
        },
        {}, 60);
    fs::remove(grande);
    ASSERT_EQ(final.codigo, 0) << final.informe;
    const std::size_t barra = final.informe.rfind('|');
    EXPECT_EQ(final.informe.substr(0, barra), esperado);
    const std::size_t megas = std::stoul(final.informe.substr(barra + 1));
#if !defined(__SANITIZE_ADDRESS__)
    EXPECT_LE(megas, 3 * tamano / (1024 * 1024) + 30) << "MB de memoria para " << tamano;
#endif
    std::cout << "[ MEMORIA  ] " << tamano / (1024 * 1024) << " MB de documento: " << megas
              << " MB\n";
}

}  // namespace
}  // namespace toa::stress
