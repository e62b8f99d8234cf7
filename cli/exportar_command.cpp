#include <exception>

#include "cli/commands.h"
#include "exchange/exchange_document.h"
#include "export/export_run.h"
#include "platform/paths.h"

namespace toa::cli {

int exportarCommand(const std::string& documento, std::ostream& out, std::ostream& err) {
    try {
        if (!namesExistingFile(documento)) {
            err << "No existe archivo\n";
            return 1;
        }
        const xml::Document docXML = exchange::loadExchangeDocument(userPath(documento));
        for (const auto& [tabla, filas] : exportar::runExport(docXML)) {
            out << tabla << ": " << filas << (filas == 1 ? " fila\n" : " filas\n");
        }
        out << "Proceso finalizado\n";
        return 0;
    } catch (const std::exception& e) {
        err << e.what() << '\n';
        return 1;
    }
}

}  // namespace toa::cli
