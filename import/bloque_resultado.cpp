#include "import/bloque_resultado.h"

#include "platform/ansi.h"

namespace toa::importar {

xml::Node anadirEntrada(xml::Document& doc, xml::Node padre, std::string_view seq) {
    xml::Node entrada = doc.createElement("listasal");
    entrada.setAttribute("seq", seq);
    padre.appendChild(entrada);
    return entrada;
}

void anadirItem(xml::Document& doc, xml::Node padre, std::string_view dato,
                std::string_view textoAnsi) {
    xml::Node item = doc.createElement("salida");
    item.setAttribute("dato", dato);
    item.setText(utf8FromAnsi(textoAnsi));
    padre.appendChild(item);
}

}  // namespace toa::importar
