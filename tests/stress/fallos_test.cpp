// Faults of the machine and of the timetable: each run ends with a clear Spanish message naming
// what failed, without crashing, without losing a file, and the next run works.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <optional>

#include "../import/prueba.h"
#include "entorno.h"
#include "exchange/exchange_document.h"
#include "export/export_run.h"
#include "import/import_run.h"
#include "platform/error.h"
#include "tables/dbase_file.h"
#include "tables/definitions.h"

namespace toa::stress {
namespace {

namespace fs = std::filesystem;
using Archivos = std::map<std::string, std::string>;

constexpr std::string_view kSinMontaje = "SIN_MONTAJE";

xml::Document vacio() {
    xml::Document doc;
    doc.loadMemory(documentoVacio(), "vacio.xml");
    return doc;
}

// What a child that met the fault reports: the run's message, then whether the folder still
// holds what it held before.
std::string exportarYComparar(const xml::Document& doc, const fs::path& carpeta) {
    const Archivos antes = contenido(carpeta);
    std::string mensaje = "sin error";
    try {
        exportar::runExport(doc);
    } catch (const Error& error) {
        mensaje = error.what();
    }
    return mensaje + (contenido(carpeta) == antes ? "|intactas" : "|cambiadas");
}

class Fallos : public ::testing::Test {
  protected:
    Fallos() : centro_(exchange::loadExchangeDocument(ejemplo())) {
        exportar::writeExportTables(unidad_.xtemp(), exportar::buildExportTables(vacio()));
        viejas_ = contenido(unidad_.xtemp());
    }
    // The fault is over: the next run writes the school's tables.
    void siguienteFunciona() {
        ASSERT_NO_THROW(exportar::runExport(centro_));
        EXPECT_EQ(contenido(unidad_.xtemp()).at("ASIGT.DBF"),
                  bytesDe(exportar::buildExportTables(centro_).ASIGT));
    }

    importar::prueba::UnidadC unidad_;
    xml::Document centro_;
    Archivos viejas_;
};

struct CarpetaSinEscritura {
    const char* nombre;
    // Runs in the child before the export; returns false when the machine does not allow it.
    bool (*preparar)(const fs::path& xtemp);
};

bool montadaSoloLectura(const fs::path& xtemp) {
    return montajePropio() && montarSoloLectura(xtemp);
}

// Root ignores permissions: the child then gives itself up to an ordinary user first, who must
// still reach C:\XTEMP through the drive's own folders (and only those are opened up).
bool sinPermiso(const fs::path& xtemp) {
    const fs::path driveC = xtemp.parent_path();
    if (::chmod(driveC.parent_path().c_str(), 0755) != 0 || ::chmod(driveC.c_str(), 0755) != 0 ||
        ::chmod(xtemp.c_str(), 0555) != 0)
        return false;
    return ::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0);
}

TEST_F(Fallos, CarpetaDeTablasSinEscritura) {
    for (const CarpetaSinEscritura& caso : {CarpetaSinEscritura{"solo lectura", montadaSoloLectura},
                                            CarpetaSinEscritura{"sin permiso", sinPermiso}}) {
        const fs::path xtemp = unidad_.xtemp();
        const Final final = enHijo([&] {
            if (!caso.preparar(xtemp)) return std::string(kSinMontaje);
            return exportarYComparar(centro_, xtemp);
        });
        ::chmod(xtemp.c_str(), 0755);
        if (final.informe == kSinMontaje) {
            std::cout << "[ OMITIDO  ] " << caso.nombre << ": esta máquina no lo permite\n";
            continue;
        }
        EXPECT_EQ(final.codigo, 0) << caso.nombre << ": " << final.informe;
        EXPECT_NE(final.informe.find("No se pudo escribir el archivo " +
                                     (xtemp / "ASIGNOMT.DBF").string()),
                  std::string::npos)
            << caso.nombre << ": " << final.informe;
        EXPECT_NE(final.informe.find("|intactas"), std::string::npos) << caso.nombre;
        EXPECT_EQ(contenido(xtemp), viejas_) << caso.nombre;
    }
    siguienteFunciona();
}

TEST_F(Fallos, UnArchivoDondeVaLaCarpetaDeTablas) {
    const fs::path xtemp = unidad_.xtemp();
    fs::rename(xtemp, xtemp.parent_path() / "guardada");
    importar::prueba::escribirArchivo(xtemp, "no soy una carpeta");
    try {
        exportar::runExport(centro_);
        FAIL() << "la exportación siguió sin carpeta de tablas";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "No existe la carpeta C:\\XTEMP (" + xtemp.string() + ")");
    }
    EXPECT_EQ(importar::prueba::leerArchivo(xtemp), "no soy una carpeta");
    fs::remove(xtemp);
    fs::rename(xtemp.parent_path() / "guardada", xtemp);
    siguienteFunciona();
}

TEST_F(Fallos, TablaEnUsoPorOtroPrograma) {
    for (const char* tabla : {"ASIGNOMT", "ASIGT", "DIASHORAST"}) {
        {
            const OtroPrograma otro(tabla);
            try {
                exportar::runExport(centro_);
                ADD_FAILURE() << "la exportación reemplazó " << tabla << " en uso";
            } catch (const Error& error) {
                EXPECT_EQ(std::string(error.what()),
                          std::string("La tabla ") + tabla + " está en uso por otro programa (" +
                              (unidad_.xtemp() / (std::string(tabla) + ".DBF")).string() + ")");
            }
            EXPECT_EQ(contenido(unidad_.xtemp()), viejas_) << tabla;
        }
    }
    siguienteFunciona();
}

// A full disk: a small tmpfs where the machine lets the test mount one, the old tables on it.
TEST_F(Fallos, DiscoLlenoBajoLasTablas) {
    const fs::path xtemp = unidad_.xtemp();
    const fs::path relleno = xtemp / "relleno.bin";
    const Final final = enHijo([&] {
        if (!montajePropio() || !montarTmpfs(xtemp, 24 * 4096)) return std::string(kSinMontaje);
        exportar::writeExportTables(xtemp, exportar::buildExportTables(vacio()));
        // Eight pages left, and the school's tables need nine beside the old ones.
        prueba::escribirArchivo(relleno, std::string(8 * 4096, 'x'));
        const Archivos antes = contenido(xtemp);
        std::string informe = exportarYComparar(centro_, xtemp);
        for (const auto& [nombre, bytes] : contenido(xtemp)) {
            if (!antes.count(nombre)) informe += "|sobra " + nombre;
        }
        // Space is freed: the next run writes the school's tables.
        fs::remove(relleno);
        exportar::runExport(centro_);
        return informe + "|siguiente bien";
    });
    if (final.informe == kSinMontaje) GTEST_SKIP() << "esta máquina no deja montar un tmpfs";
    EXPECT_EQ(final.codigo, 0) << final.informe;
    EXPECT_NE(final.informe.find("No se pudo escribir el archivo " + xtemp.string()),
              std::string::npos)
        << final.informe;
    // A full disk replaces no table: the old ones all stay, nothing half-written is left.
    EXPECT_NE(final.informe.find("|intactas"), std::string::npos) << final.informe;
    EXPECT_EQ(final.informe.find("sobra"), std::string::npos) << final.informe;
    EXPECT_NE(final.informe.find("|siguiente bien"), std::string::npos) << final.informe;
}

// ---- The import: the timetable and the result document ----

class FallosImportacion : public ::testing::Test {
  protected:
    FallosImportacion() {
        exportar::writeExportTables(
            unidad_.xtemp(),
            exportar::buildExportTables(exchange::loadExchangeDocument(ejemplo())));
        fs::create_directories(datos());
        fs::copy_file(ejemplo(), documento());
        tables::replaceTable(unidad_.xtemp(), solucEjemplo());
        importar();
        resultadoBueno_ = contenido(datos());
    }
    fs::path datos() const { return unidad_.raiz() / "datos"; }
    fs::path documento() const { return datos() / "centro.xml"; }
    importar::ImportSummary importar() {
        std::optional<xml::Document> docXML;
        return importar::runImport(documento().string(), tablas_, docXML);
    }
    void importarFalla(const std::string& esperado, const std::string& caso) {
        try {
            importar();
            ADD_FAILURE() << caso << ": la importación no falló";
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()), esperado) << caso;
        }
        EXPECT_EQ(contenido(datos()), resultadoBueno_) << caso;
        for (tables::TableComponent* tabla : importar::enOrden(tablas_)) {
            EXPECT_FALSE(tabla->active()) << caso << ": " << tabla->tableName() << " abierta";
        }
    }

    importar::prueba::UnidadC unidad_;
    importar::TablasImportacion tablas_;
    Archivos resultadoBueno_;
};

// SOLUC as another program may have stored it: a field missing, or DIA as a text field.
tables::Table solucCambiada(std::string_view sinCampo, std::string_view diaDeLaPrimera) {
    const tables::Table original = solucEjemplo();
    std::vector<tables::Field> campos;
    for (tables::Field campo : original.fields()) {
        if (campo.name == sinCampo) continue;
        if (!diaDeLaPrimera.empty() && campo.name == "DIA") {
            campo.type = 'C';
            campo.length = 8;
        }
        campos.push_back(campo);
    }
    tables::Table soluc("SOLUC", campos);
    for (std::size_t fila = 0; fila < original.recordCount(); ++fila) {
        soluc.append();
        for (std::size_t campo = 0; campo < campos.size(); ++campo) {
            const std::string valor =
                fila == 0 && campos[campo].name == "DIA"
                    ? std::string(diaDeLaPrimera)
                    : original.asString(fila, original.fieldIndex(campos[campo].name));
            soluc.setString(fila, campo, valor);
        }
    }
    return soluc;
}

TEST_F(FallosImportacion, SolucQueNoSirve) {
    struct Caso {
        const char* nombre;
        std::optional<tables::Table> soluc;  // none: no SOLUC at all
        std::string mensaje;
    };
    const fs::path solucDbf = unidad_.xtemp() / "SOLUC.DBF";
    const std::vector<Caso> casos = {
        {"sin SOLUC", std::nullopt, "No existe la tabla SOLUC (" + solucDbf.string() + ")"},
        {"sin PROF", solucCambiada("PROF", ""), "La tabla SOLUC no tiene el campo PROF"},
        {"sin DIA", solucCambiada("DIA", ""), "La tabla SOLUC no tiene el campo DIA"},
        {"DIA en texto que no es número", solucCambiada("", "lunes"),
         "El campo DIA de la tabla SOLUC no se lee como entero: 'lunes' no es un valor entero "
         "válido"},
    };
    for (const Caso& caso : casos) {
        fs::remove(solucDbf);
        if (caso.soluc) tables::replaceTable(unidad_.xtemp(), *caso.soluc);
        importarFalla(caso.mensaje, caso.nombre);
        tables::replaceTable(unidad_.xtemp(), solucEjemplo());
        importar();
        EXPECT_EQ(contenido(datos()), resultadoBueno_) << caso.nombre << ": la siguiente";
    }
}

// DIA kept as text with its digits is the same timetable: the same result document.
TEST_F(FallosImportacion, DiaEnTextoConSusCifras) {
    const tables::Table soluc = solucEjemplo();
    const tables::Table conTexto = solucCambiada("", soluc.asString(0, soluc.fieldIndex("DIA")));
    ASSERT_EQ(conTexto.fields()[conTexto.fieldIndex("DIA")].type, 'C');
    tables::replaceTable(unidad_.xtemp(), conTexto);
    importar();
    EXPECT_EQ(contenido(datos()), resultadoBueno_);
}

// A damaged SOLUC.DBF reaches the run through its table component: refused with the file's
// name, the tables closed, and the next run, on a sound file, works.
TEST_F(FallosImportacion, SolucDanada) {
    const std::string sana = bytesDe(solucEjemplo());
    const auto con = [&](const std::function<void(std::string&)>& cambio) {
        std::string bytes = sana;
        cambio(bytes);
        return bytes;
    };
    const struct {
        const char* nombre;
        std::string bytes;
    } casos[] = {
        {"cortada a la mitad", sana.substr(0, sana.size() / 2)},
        {"número de registros que miente",
         con([](std::string& b) { b.replace(4, 4, "\xFF\xFF\xFF\xFF"); })},
        {"registro más corto que sus campos",
         con([](std::string& b) { b[10] = static_cast<char>(b[10] - 5); })},
        {"campo de anchura cero", con([](std::string& b) { b[32 + 16] = 0; })},
    };
    const fs::path archivo = unidad_.xtemp() / "SOLUC.DBF";
    for (const auto& caso : casos) {
        importar::prueba::escribirArchivo(archivo, caso.bytes);
        try {
            importar();
            ADD_FAILURE() << caso.nombre << ": la importación no falló";
        } catch (const Error& error) {
            const std::string mensaje = error.what();
            EXPECT_NE(mensaje.find(archivo.string()), std::string::npos)
                << caso.nombre << ": " << mensaje;
            EXPECT_NE(mensaje.find("no es una tabla dBase válida"), std::string::npos) << mensaje;
        }
        EXPECT_EQ(contenido(datos()), resultadoBueno_) << caso.nombre;
        importar::prueba::escribirArchivo(archivo, sana);
        importar();
        EXPECT_EQ(contenido(datos()), resultadoBueno_) << caso.nombre << ": la siguiente";
    }
}

// 255 fields, the most a dBase header holds: the timetable's own and 243 more.
TEST_F(FallosImportacion, SolucDeDoscientosCincuentaYCincoCampos) {
    const tables::Table soluc = solucEjemplo();
    std::vector<tables::Field> campos = soluc.fields();
    while (campos.size() < 255) campos.push_back({"X" + std::to_string(campos.size()), 'C', 1});
    tables::Table ancha("SOLUC", campos);
    for (std::size_t fila = 0; fila < soluc.recordCount(); ++fila) {
        ancha.appendRecord(std::string(soluc.record(fila)) + std::string(243, 'x'));
    }
    tables::replaceTable(unidad_.xtemp(), ancha);
    importar();
    EXPECT_EQ(contenido(datos()), resultadoBueno_);
}

TEST_F(FallosImportacion, SolucEnUsoPorOtroPrograma) {
    {
        const OtroPrograma otro("SOLUC");
        importarFalla("La tabla SOLUC está en uso por otro programa (" +
                          (unidad_.xtemp() / "SOLUC.DBF").string() + ")",
                      "SOLUC en uso");
    }
    importar();
    EXPECT_EQ(contenido(datos()), resultadoBueno_);
}

TEST_F(FallosImportacion, DiscoLlenoBajoElResultado) {
    const Final final = enHijo([&] {
        const std::string documentoOriginal = importar::prueba::leerArchivo(documento());
        // Room for the exchange document and one page more: not for its result.
        const std::size_t paginas = documentoOriginal.size() / 4096 + 2;
        if (!montajePropio() || !montarTmpfs(datos(), paginas * 4096))
            return std::string(kSinMontaje);
        importar::prueba::escribirArchivo(documento(), documentoOriginal);
        std::string informe = "sin error";
        try {
            importar();
        } catch (const Error& error) {
            informe = error.what();
        }
        for (const auto& [nombre, bytes] : contenido(datos())) informe += "|" + nombre;
        return informe;
    });
    if (final.informe == kSinMontaje) GTEST_SKIP() << "esta máquina no deja montar un tmpfs";
    const std::string resultado = (datos() / "ResultadoOrbetacentro.xml").string();
    EXPECT_EQ(final.informe, "No se pudo escribir el archivo " + resultado +
                                 ": error de escritura (¿disco lleno?)|centro.xml");
    importar();
    EXPECT_EQ(contenido(datos()), resultadoBueno_);
}

}  // namespace
}  // namespace toa::stress
