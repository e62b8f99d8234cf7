#pragma once
#include <string_view>

#include "exchange/xml_document.h"

// The elements of the result block: entries ("listasal" with "seq") and items ("salida" with
// "dato" and a text), as the administration system reads them back. They are written straight
// into the result document as the run produces them.
namespace toa::importar {

// Opens an entry `seq`; its items and entries follow until the writer closes it.
void abrirEntrada(xml::ElementWriter& bloque, std::string_view seq);

// An item whose text is `textoAnsi`, 8-bit text as the tables give it, unchanged.
void escribirItem(xml::ElementWriter& bloque, std::string_view dato, std::string_view textoAnsi);

}  // namespace toa::importar
