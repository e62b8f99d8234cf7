// Crash safety: whatever the point at which a run is killed, or its disk refuses a write, every
// table, Tabuleo.ini and the result document is the complete old file or the complete new one.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <streambuf>

#include "../import/prueba.h"
#include "entorno.h"
#include "exchange/exchange_document.h"
#include "export/export_run.h"
#include "import/import_run.h"
#include "platform/atomic_file.h"
#include "platform/error.h"
#include "platform/ini_file.h"
#include "tables/dbase_file.h"

namespace toa::stress {
namespace {

namespace fs = std::filesystem;
using Archivos = std::map<std::string, std::string>;

// The files a run writes for these tables, as bytes.
Archivos archivosDe(const exportar::ExportTables& tablas) {
    Archivos archivos;
    for (const tables::Table* tabla :
         {&tablas.ASIGNOMT, &tablas.ASIGNOMT2, &tablas.PROFT, &tablas.AULAT, &tablas.CURSOST,
          &tablas.GRUPOST, &tablas.ASIGT, &tablas.DIASHORAST}) {
        archivos[tabla->name() + ".DBF"] = bytesDe(*tabla);
    }
    return archivos;
}

std::size_t mayor(const Archivos& archivos) {
    std::size_t tamano = 0;
    for (const auto& [nombre, bytes] : archivos) tamano = std::max(tamano, bytes.size());
    return tamano;
}

// Limits spread over [0, hasta], with each file's last byte among them.
std::vector<std::size_t> cortes(std::size_t hasta, const std::vector<std::size_t>& tamanos) {
    std::vector<std::size_t> limites;
    const std::size_t paso = hasta / 97 + 1;
    for (std::size_t n = 0; n <= hasta + 1; n += paso) limites.push_back(n);
    for (const std::size_t tamano : tamanos) {
        if (tamano > 0) limites.push_back(tamano - 1);
        limites.push_back(tamano);
    }
    return limites;
}

std::vector<std::size_t> tamanosDe(const Archivos& archivos) {
    std::vector<std::size_t> tamanos;
    for (const auto& [nombre, bytes] : archivos) tamanos.push_back(bytes.size());
    return tamanos;
}

// Each file named in `antes` is exactly its old or its new content; any other file in the folder
// is returned (temporary files left by a killed run).
std::vector<std::string> comprobarEnteros(const fs::path& carpeta, const Archivos& antes,
                                          const Archivos& despues, const std::string& caso) {
    std::vector<std::string> otros;
    const Archivos ahora = contenido(carpeta);
    for (const auto& [nombre, viejo] : antes) {
        const auto hallado = ahora.find(nombre);
        if (hallado == ahora.end()) {
            ADD_FAILURE() << caso << ": falta " << nombre;
            continue;
        }
        EXPECT_TRUE(hallado->second == viejo || hallado->second == despues.at(nombre))
            << caso << ": " << nombre << " está a medias (" << hallado->second.size()
            << " bytes; viejo " << viejo.size() << ", nuevo " << despues.at(nombre).size() << ")";
    }
    for (const auto& [nombre, bytes] : ahora) {
        if (!antes.count(nombre)) otros.push_back(nombre);
    }
    return otros;
}

class Seguridad : public ::testing::Test {
  protected:
    Seguridad()
        : vacio_(cargar(documentoVacio())),
          centro_(exchange::loadExchangeDocument(ejemplo())),
          viejas_(exportar::buildExportTables(vacio_)),
          antes_(archivosDe(viejas_)),
          despues_(archivosDe(exportar::buildExportTables(centro_))) {}

    static xml::Document cargar(const std::string& bytes) {
        xml::Document doc;
        doc.loadMemory(bytes, "vacio.xml");
        return doc;
    }
    void ponerViejas() { exportar::writeExportTables(unidad_.xtemp(), viejas_); }

    importar::prueba::UnidadC unidad_;
    xml::Document vacio_;
    xml::Document centro_;
    exportar::ExportTables viejas_;
    Archivos antes_;
    Archivos despues_;
};

// The deterministic kill: the child dies at the very byte the limit names, wherever that falls
// (inside a table, between two tables, before a rename).
TEST_F(Seguridad, ExportacionCortadaEnCadaPuntoDeEscritura) {
    for (const bool matar : {true, false}) {
        for (const std::size_t limite : cortes(mayor(despues_), tamanosDe(despues_))) {
            ponerViejas();
            const std::string caso = std::string(matar ? "matada" : "disco que rechaza") + " en " +
                                     std::to_string(limite);
            const Final final = enHijo(
                [&] {
                    exportar::runExport(centro_);
                    return std::string("hecho");
                },
                limiteDeArchivo(limite, matar));
            if (final.codigo == 0) {
                EXPECT_GE(limite, mayor(despues_)) << caso;
            } else if (matar) {
                EXPECT_EQ(final.senal, SIGXFSZ) << caso << ": " << final.informe;
            } else {
                EXPECT_EQ(final.codigo, 3) << caso;
                EXPECT_NE(final.informe.find("No se pudo escribir el archivo"), std::string::npos)
                    << caso << ": " << final.informe;
                EXPECT_NE(final.informe.find(".DBF"), std::string::npos) << final.informe;
            }
            const std::vector<std::string> otros =
                comprobarEnteros(unidad_.xtemp(), antes_, despues_, caso);
            // A refused write cleans up after itself; only a killed run can leave temporaries, one
            // per table at the most, and the next run (ponerViejas) removes them.
            if (!matar) {
                EXPECT_TRUE(otros.empty()) << caso << ": " << otros.front();
            }
            EXPECT_LE(otros.size(), 8u) << caso;
        }
    }
    exportar::runExport(centro_);
    EXPECT_EQ(contenido(unidad_.xtemp()), despues_);
}

// Kills at moments nobody chose, while the child exports one document after the other.
TEST_F(Seguridad, ExportacionMatadaEnMomentosCualesquiera) {
    ponerViejas();
    for (int intento = 0; intento < 30; ++intento) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            try {
                for (int vuelta = 0;; ++vuelta) exportar::runExport(vuelta % 2 ? vacio_ : centro_);
            } catch (...) {
                ::_exit(1);
            }
        }
        ::usleep(static_cast<useconds_t>(500 + intento * 997 % 20000));
        ::kill(pid, SIGKILL);
        int estado = 0;
        ::waitpid(pid, &estado, 0);
        ASSERT_TRUE(WIFSIGNALED(estado)) << "el hijo terminó solo: " << WEXITSTATUS(estado);
        const std::string caso = "intento " + std::to_string(intento);
        // What the kill left half-done is whole or not there; its temporaries go with the next run.
        EXPECT_LE(comprobarEnteros(unidad_.xtemp(), antes_, despues_, caso).size(), 8u) << caso;
    }
    exportar::runExport(centro_);
    EXPECT_EQ(contenido(unidad_.xtemp()), despues_);
}

// A stream that takes `cupo` bytes and then refuses, as a disk that fills up mid-table.
class FlujoCortado : public std::streambuf {
  public:
    FlujoCortado(std::streambuf* destino, std::size_t cupo) : destino_(destino), cupo_(cupo) {}

  protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        if (cupo_ == 0) return traits_type::eof();
        --cupo_;
        return destino_->sputc(traits_type::to_char_type(c));
    }
    std::streamsize xsputn(const char* bytes, std::streamsize cuantos) override {
        const auto tomados =
            std::min<std::streamsize>(cuantos, static_cast<std::streamsize>(cupo_));
        cupo_ -= static_cast<std::size_t>(tomados);
        return destino_->sputn(bytes, tomados);
    }
    int sync() override { return destino_->pubsync(); }

  private:
    std::streambuf* destino_;
    std::size_t cupo_;
};

TEST_F(Seguridad, TablaQueFallaEnCadaByteDejaLaVieja) {
    const fs::path destino = unidad_.xtemp() / "PROFT.DBF";
    importar::prueba::escribirArchivo(destino, antes_.at("PROFT.DBF"));
    const std::string& nueva = despues_.at("PROFT.DBF");
    const exportar::ExportTables tablas = exportar::buildExportTables(centro_);
    for (std::size_t cupo = 0; cupo < nueva.size(); ++cupo) {
        std::optional<FlujoCortado> cortado;
        try {
            writeFileAtomically(destino, [&](std::ostream& salida) {
                cortado.emplace(salida.rdbuf(), cupo);
                salida.rdbuf(&*cortado);
                tables::writeDbf(tablas.PROFT, salida);
            });
            ADD_FAILURE() << "la escritura cortada en " << cupo << " se dio por buena";
        } catch (const Error& error) {
            EXPECT_NE(std::string(error.what()).find(destino.string()), std::string::npos)
                << error.what();
        }
        const Archivos ahora = contenido(unidad_.xtemp());
        ASSERT_EQ(ahora.size(), 1u) << "queda un temporal tras cortar en " << cupo;
        ASSERT_EQ(ahora.begin()->second, antes_.at("PROFT.DBF")) << cupo;
    }
}

TEST_F(Seguridad, TabuleoIniCortadoEnCadaByte) {
    const std::string viejo =
        "[Tabuleo]\r\nRuta=C:\\TABULEO\r\n\r\n[Transformadores]\r\nTransformado=0\r\n; fin\r\n";
    const fs::path modelo = unidad_.raiz() / "modelo" / "Tabuleo.ini";
    fs::create_directories(modelo.parent_path());
    importar::prueba::escribirArchivo(modelo, viejo);
    writeProfileString(modelo, "Transformadores", "Transformado", "-1");
    const std::string nuevo = importar::prueba::leerArchivo(modelo);
    ASSERT_NE(nuevo, viejo);

    const fs::path carpeta = unidad_.raiz() / "programa";
    fs::create_directories(carpeta);
    const fs::path ini = carpeta / "Tabuleo.ini";
    for (const bool matar : {true, false}) {
        for (std::size_t limite = 0; limite <= nuevo.size(); ++limite) {
            importar::prueba::escribirArchivo(ini, viejo);
            const Final final = enHijo(
                [&] {
                    writeProfileString(ini, "Transformadores", "Transformado", "-1");
                    return std::string("hecho");
                },
                limiteDeArchivo(limite, matar));
            const Archivos ahora = contenido(carpeta);
            const std::string& escrito = ahora.at("Tabuleo.ini");
            EXPECT_TRUE(escrito == viejo || escrito == nuevo) << "cortado en " << limite;
            if (!matar && final.codigo != 0) {
                EXPECT_EQ(final.informe, "Unable to write to " + ini.string());
                EXPECT_EQ(ahora.size(), 1u) << "queda un temporal tras cortar en " << limite;
            }
            for (const auto& [nombre, bytes] : ahora) {
                if (nombre != "Tabuleo.ini") fs::remove(carpeta / nombre);
            }
        }
    }
}

TEST_F(Seguridad, DocumentoResultadoCortadoEnCadaPunto) {
    exportar::writeExportTables(unidad_.xtemp(), exportar::buildExportTables(centro_));
    const tables::Table soluc = solucEjemplo();
    tables::Table mitad(tables::SOLUC);
    for (std::size_t fila = 0; fila < soluc.recordCount() / 2; ++fila) {
        mitad.appendRecord(soluc.record(fila));
    }
    const fs::path datos = unidad_.raiz() / "datos";
    fs::create_directories(datos);
    const fs::path documento = datos / "centro.xml";
    fs::copy_file(ejemplo(), documento);
    const std::string original = importar::prueba::leerArchivo(documento);

    const auto importar = [&] {
        importar::TablasImportacion tablas;
        std::optional<xml::Document> docXML;
        return importar::runImport(documento.string(), tablas, docXML).resultado;
    };
    tables::replaceTable(unidad_.xtemp(), mitad);
    const fs::path resultado = importar();
    const std::string nuevo = importar::prueba::leerArchivo(resultado);
    tables::replaceTable(unidad_.xtemp(), soluc);
    importar();
    const std::string viejo = importar::prueba::leerArchivo(resultado);
    ASSERT_NE(viejo, nuevo);
    tables::replaceTable(unidad_.xtemp(), mitad);

    for (const bool matar : {true, false}) {
        for (const std::size_t limite : cortes(nuevo.size(), {nuevo.size()})) {
            importar::prueba::escribirArchivo(resultado, viejo);
            const Final final = enHijo(
                [&] {
                    importar();
                    return std::string("hecho");
                },
                limiteDeArchivo(limite, matar));
            const std::string caso = "cortado en " + std::to_string(limite);
            const Archivos ahora = contenido(datos);
            EXPECT_EQ(ahora.at("centro.xml"), original) << caso;
            const std::string& escrito = ahora.at(resultado.filename().string());
            EXPECT_TRUE(escrito == viejo || escrito == nuevo) << caso;
            if (!matar && final.codigo != 0) {
                EXPECT_NE(final.informe.find(resultado.string()), std::string::npos)
                    << final.informe;
                EXPECT_EQ(ahora.size(), 2u) << caso << ": queda un temporal";
            }
            for (const auto& [nombre, bytes] : ahora) {
                if (nombre != "centro.xml" && nombre != resultado.filename()) {
                    fs::remove(datos / nombre);
                }
            }
        }
    }
    importar();
    EXPECT_EQ(importar::prueba::leerArchivo(resultado), nuevo);
}

}  // namespace
}  // namespace toa::stress
