#pragma once
#include <string_view>

#include "exchange/xml_document.h"

// The elements of the result block: entries ("listasal" with "seq") and items ("salida" with
// "dato" and a text), as the administration system reads them back.
namespace toa::importar {

// Appends an entry `seq` to `padre` and returns it.
xml::Node anadirEntrada(xml::Document& doc, xml::Node padre, std::string_view seq);

// Appends an item whose text is `textoAnsi`, 8-bit text as the tables give it, unchanged.
void anadirItem(xml::Document& doc, xml::Node padre, std::string_view dato,
                std::string_view textoAnsi);

}  // namespace toa::importar
