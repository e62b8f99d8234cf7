#include <exception>
#include <optional>

#include "cli/commands.h"
#include "import/import_run.h"
#include "platform/paths.h"

namespace toa::cli {

int importarCommand(const std::string& documento, std::ostream& out, std::ostream& err) {
    if (!namesExistingFile(documento)) {
        err << "No existe archivo\n";
        return 1;
    }
    try {
        importar::TablasImportacion tablas;
        std::optional<xml::Document> docXML;
        const importar::ImportSummary resumen = importar::runImport(documento, tablas, docXML);
        out << "Documento de resultado: " << resumen.resultado.string() << '\n'
            << "Profesores: " << resumen.profesores << '\n'
            << "Sesiones: " << resumen.sesiones << '\n'
            << "Proceso finalizado\n";
        return 0;
    } catch (const std::exception& fallo) {
        err << fallo.what() << '\n';
        return 1;
    }
}

}  // namespace toa::cli
