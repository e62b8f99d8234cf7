#include "import/bloque_resultado.h"

#include "platform/ansi.h"

namespace toa::importar {

void abrirEntrada(xml::ElementWriter& bloque, std::string_view seq) {
    bloque.open("listasal", "seq", seq);
}

void escribirItem(xml::ElementWriter& bloque, std::string_view dato, std::string_view textoAnsi) {
    bloque.leaf("salida", "dato", dato, utf8FromAnsi(textoAnsi));
}

}  // namespace toa::importar
