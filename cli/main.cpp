#include <iostream>
#include <string>
#include <string_view>

#include "cli/commands.h"

namespace {

constexpr std::string_view kVersion = "TransTabuleoArdel V-1.6";

void printUsage(std::ostream& out) {
    out << "Uso: transorbeta exportar DOCUMENTO\n"
           "     transorbeta importar DOCUMENTO\n"
           "\n"
           "  exportar  crea las tablas de Tabuleo en C:\\XTEMP a partir del documento XML de "
           "Ardel\n"
           "  importar  escribe el horario de Tabuleo (SOLUC) en un documento de resultado junto "
           "al\n"
           "            documento XML\n"
           "\n"
           "  --help     muestra esta ayuda\n"
           "  --version  muestra la versión\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2) {
        const std::string_view option = argv[1];
        if (option == "--help" || option == "-h") {
            printUsage(std::cout);
            return 0;
        }
        if (option == "--version") {
            std::cout << kVersion << '\n';
            return 0;
        }
    }
    if (argc == 3) {
        const std::string_view action = argv[1];
        if (action == "exportar") return toa::cli::exportarCommand(argv[2], std::cout, std::cerr);
        if (action == "importar") return toa::cli::importarCommand(argv[2], std::cout, std::cerr);
    }
    printUsage(std::cerr);
    return 2;
}
