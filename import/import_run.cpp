#include "import/import_run.h"

#include <string>

#include "import/bloque_resultado.h"
#include "import/resolucion.h"
#include "import/soluc.h"
#include "platform/error.h"
#include "platform/paths.h"

namespace toa::importar {
namespace {

using tables::Table;

// The tables stay open only while the run reads them and are closed however it ends, so that
// the timetabling program, and the next run, can have them again.
class TablasAbiertas {
  public:
    explicit TablasAbiertas(TablasImportacion& tablas) : tablas_(tablas) {
        try {
            for (tables::TableComponent* tabla : enOrden(tablas_)) tabla->open();
        } catch (...) {
            cerrar();
            throw;
        }
    }
    ~TablasAbiertas() { cerrar(); }
    TablasAbiertas(const TablasAbiertas&) = delete;
    TablasAbiertas& operator=(const TablasAbiertas&) = delete;

  private:
    void cerrar() {
        for (tables::TableComponent* tabla : enOrden(tablas_)) tabla->close();
    }

    TablasImportacion& tablas_;
};

// Removes the first SALIDAS with the input lists and appends a new empty one last; returns the
// element the result block goes into: the first SALIDAS left, which is the new one unless the
// document had several.
xml::Node reemplazarSalidas(xml::Document& doc, const std::string& archivoXML) {
    xml::Node raiz = doc.documentElement();
    if (!raiz) throw Error("El documento " + archivoXML + " no tiene elemento raíz");
    const xml::Node salidas = raiz.selectSingleNode("SALIDAS");
    if (!salidas) {
        throw Error("El documento " + archivoXML +
                    " no tiene elemento SALIDAS: no es un documento de intercambio de Ardel");
    }
    raiz.removeChild(salidas);
    raiz.appendChild(doc.createElement("SALIDAS"));
    return raiz.selectSingleNode("SALIDAS");
}

void escribirEstado(xml::ElementWriter& bloque, std::size_t profesores) {
    bloque.open("ERROR");
    escribirItem(bloque, "CN_ERROR", "0");
    escribirItem(bloque, "TE_ERROR", "Servicio finalizado Correctamente");
    escribirItem(bloque, "REGISTROS RECUPERADOS", std::to_string(profesores));
    bloque.close();
}

// One entry per teacher, with one entry per timetabled session; returns the sessions written.
std::size_t escribirProfesores(xml::ElementWriter& bloque, const Table& proft, const Soluc& soluc,
                               const Resolucion& resolucion) {
    const std::size_t xEmpleado = proft.fieldIndex("X_EMPLEADO");
    const std::size_t fTomapos = proft.fieldIndex("F_TOMAPOS");
    const std::size_t abrev = proft.fieldIndex("ABREV");
    std::size_t sesiones = 0;
    for (std::size_t profesor = 0; profesor < proft.recordCount(); ++profesor) {
        abrirEntrada(bloque, "EMP_" + std::to_string(profesor + 1));
        escribirItem(bloque, "X_EMPLEADO", proft.asString(profesor, xEmpleado));
        escribirItem(bloque, "F_TOMAPOS", proft.asString(profesor, fTomapos));

        // Numbered without gaps: a row that is no session takes no number.
        std::size_t sesion = 0;
        for (const std::size_t fila : soluc.filasDe(proft.asString(profesor, abrev))) {
            if (!soluc.esSesion(fila)) continue;
            abrirEntrada(bloque, "TRAMO_" + std::to_string(++sesion));
            escribirSesion(bloque, resolucion.resolver(soluc.fila(fila)));
            bloque.close();
        }
        bloque.close();
        sesiones += sesion;
    }
    return sesiones;
}

}  // namespace

std::array<tables::TableComponent*, 9> enOrden(TablasImportacion& tablas) {
    return {&tablas.wwTableSoluc,    &tablas.wwTableGrupos, &tablas.wwTableCursos,
            &tablas.wwTableProfesor, &tablas.wwTableAulas,  &tablas.wwTableNomAsg,
            &tablas.wwTableNOMASG2,  &tablas.wwTableTramos, &tablas.wwTableAsig};
}

ImportSummary runImport(const std::string& archivoXML, TablasImportacion& tablas,
                        std::optional<xml::Document>& docXML) {
    ImportSummary resumen;
    resumen.resultado = userPath(nombreResultado(archivoXML));
    // The block is written into the result file as the tables are read, so they stay open until
    // the file is complete; they are closed however the run ends.
    const TablasAbiertas abiertas(tablas);
    const Table& proft = tablas.wwTableProfesor.table();
    const Soluc soluc(tablas.wwTableSoluc.table());
    const Resolucion resolucion(TablasBusqueda{
        .asigt = tablas.wwTableAsig.table(),
        .asignomt = tablas.wwTableNomAsg.table(),
        .grupost = tablas.wwTableGrupos.table(),
        .asignomt2 = tablas.wwTableNOMASG2.table(),
        .diashorast = tablas.wwTableTramos.table(),
        .aulat = tablas.wwTableAulas.table(),
    });

    docXML.reset();
    // The input lists under SALIDAS are removed from the result: they are never held.
    docXML.emplace().loadDropping(userPath(archivoXML), "SALIDAS");
    const xml::Node bloque = reemplazarSalidas(*docXML, archivoXML);
    docXML->saveAppending(resumen.resultado, bloque, [&](xml::ElementWriter& escritor) {
        escribirEstado(escritor, tablas.wwTableProfesor.recordCount());
        resumen.sesiones = escribirProfesores(escritor, proft, soluc, resolucion);
    });
    resumen.profesores = proft.recordCount();
    return resumen;
}

}  // namespace toa::importar
