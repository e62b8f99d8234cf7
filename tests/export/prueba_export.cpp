#include "tests/export/prueba_export.h"

#include "platform/ansi.h"

namespace toa::exportar::prueba {

std::string lista(std::string_view seq, const std::vector<Items>& entradas) {
    std::string xml = "<listasal seq=\"" + std::string(seq) + "\">";
    for (const Items& items : entradas) {
        xml += "<listasal>";
        for (const std::string& item : items) xml += "<salida>" + item + "</salida>";
        xml += "</listasal>";
    }
    return xml + "</listasal>";
}

std::string intervalos(
    const std::vector<std::vector<std::pair<std::string, std::string>>>& entradas) {
    std::string xml = "<listasal seq=\"INTERVALOS\">";
    for (const auto& items : entradas) {
        xml += "<listasal>";
        for (const auto& [dato, valor] : items) {
            xml += "<salida dato=\"" + dato + "\">" + valor + "</salida>";
        }
        xml += "</listasal>";
    }
    return xml + "</listasal>";
}

xml::Document documento(std::string_view listas) {
    xml::Document doc;
    doc.loadMemory("<?xml version=\"1.0\" encoding=\"UTF-8\"?><SERVICIO><SALIDAS>" +
                       std::string(listas) + "</SALIDAS></SERVICIO>",
                   "prueba.xml");
    return doc;
}

std::vector<std::string> columna(const tables::Table& tabla, std::string_view campo) {
    const std::size_t indice = tabla.fieldIndex(campo);
    std::vector<std::string> valores;
    for (std::size_t fila = 0; fila < tabla.recordCount(); ++fila) {
        valores.push_back(utf8FromAnsi(tabla.asString(fila, indice)));
    }
    return valores;
}

std::string volcado(const tables::Table& tabla) {
    std::string texto;
    for (std::size_t campo = 0; campo < tabla.fields().size(); ++campo) {
        texto += (campo ? " | " : "") + tabla.fields()[campo].name;
    }
    texto += '\n';
    for (std::size_t fila = 0; fila < tabla.recordCount(); ++fila) {
        for (std::size_t campo = 0; campo < tabla.fields().size(); ++campo) {
            texto += (campo ? " | " : "") + utf8FromAnsi(tabla.asString(fila, campo));
        }
        // An empty last value leaves no blank at the end of the line.
        while (texto.back() == ' ') texto.pop_back();
        texto += '\n';
    }
    return texto;
}

}  // namespace toa::exportar::prueba
