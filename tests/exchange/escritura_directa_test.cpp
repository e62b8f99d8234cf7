// Elements written straight into a saved document must give the bytes the same elements give
// when appended to the tree and saved: the import's result block depends on it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/xml_document.h"

namespace toa::xml {
namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = fs::path(TOA_SOURCE_DIR) / "tests/exchange/fixtures";

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// One element of a block: `children` nested, or a text when it has none.
struct Elemento {
    std::string name;
    std::string attribute;  // none when empty
    std::string value;
    std::string text;
    std::vector<Elemento> children;
    bool leaf = true;
};

Elemento hoja(std::string name, std::string attribute, std::string value, std::string text) {
    return {std::move(name), std::move(attribute), std::move(value), std::move(text), {}, true};
}
Elemento rama(std::string name, std::string attribute, std::string value,
              std::vector<Elemento> children) {
    return {
        std::move(name), std::move(attribute), std::move(value), {}, std::move(children), false};
}

// Markup characters, line breaks and characters that ISO-8859-1 and UTF-16 treat differently.
const std::vector<Elemento> kBloque = {
    rama("ERROR", "", "",
         {hoja("salida", "dato", "CN_ERROR", "0"), hoja("salida", "dato", "TE_ERROR", "")}),
    rama("listasal", "seq", "EMP_1",
         {hoja("salida", "dato", "X", "a<b>&c\r\nd\te \"f' ñ € 𝄞"),
          rama("listasal", "seq", "q\"<&>\n\r\t'ñ€",
               {hoja("salida", "dato", "VACIO", ""), rama("vacio", "", "", {})})}),
};

void construir(Document& doc, Node padre, const std::vector<Elemento>& bloque) {
    for (const Elemento& e : bloque) {
        Node nodo = doc.createElement(e.name);
        if (!e.attribute.empty()) nodo.setAttribute(e.attribute, e.value);
        if (e.leaf) nodo.setText(e.text);
        padre.appendChild(nodo);
        construir(doc, nodo, e.children);
    }
}

void escribir(ElementWriter& escritor, const std::vector<Elemento>& bloque) {
    for (const Elemento& e : bloque) {
        if (e.leaf) {
            escritor.leaf(e.name, e.attribute, e.value, e.text);
            continue;
        }
        if (e.attribute.empty())
            escritor.open(e.name);
        else
            escritor.open(e.name, e.attribute, e.value);
        escribir(escritor, e.children);
        escritor.close();
    }
}

struct Caso {
    const char* nombre;
    std::string documento;
    const char* padre;  // XPath of the element the block goes into
};

std::vector<Caso> casos() {
    return {
        {"sangrado ISO-8859-1",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<SERVICIO>\n  <A>x</A>\n</SERVICIO>\n",
         "/SERVICIO"},
        {"compacto, SALIDAS vacía al final",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><SERVICIO><A>x</A><SALIDAS/></SERVICIO>",
         "/SERVICIO/SALIDAS"},
        {"sin declaración", "<SERVICIO><SALIDAS/></SERVICIO>", "/SERVICIO/SALIDAS"},
        {"standalone y comentario con una marca",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\"?>\n"
         "<!-- <toa-marca/> --><S><a><b><c/></b></a></S>",
         "/S/a/b/c"},
        {"contenido mixto", "<S>\n<SALIDAS>texto<x/></SALIDAS><SALIDAS/></S>", "/S/SALIDAS[1]"},
        {"UTF-16 con BOM", readBytes(kFixtures / "utf16le-bom.xml"), "/*"},
        {"UTF-16 sin declaración", readBytes(kFixtures / "utf16be-bom-sin-declaracion.xml"), "/*"},
        {"windows-1252", readBytes(kFixtures / "windows-1252.xml"), "/*"},
    };
}

TEST(EscrituraDirecta, DaLosMismosBytesQueElArbol) {
    for (const Caso& caso : casos()) {
        SCOPED_TRACE(caso.nombre);
        Document arbol;
        arbol.loadMemory(caso.documento, caso.nombre);
        construir(arbol, arbol.selectNodes(caso.padre).at(0), kBloque);

        Document directo;
        directo.loadMemory(caso.documento, caso.nombre);
        const std::string bytes = directo.serializeAppending(
            directo.selectNodes(caso.padre).at(0),
            [](ElementWriter& escritor) { escribir(escritor, kBloque); });
        EXPECT_EQ(bytes, arbol.serialize());
        // The tree itself is left as it was.
        Document original;
        original.loadMemory(caso.documento, caso.nombre);
        EXPECT_EQ(directo.serialize(), original.serialize());
    }
}

// Many elements: the pieces handed on in large blocks must join up exactly.
TEST(EscrituraDirecta, UnBloqueGrandeIgualQueElArbol) {
    std::vector<Elemento> grande;
    for (int i = 0; i < 5000; ++i) {
        grande.push_back(rama("listasal", "seq", "TRAMO_" + std::to_string(i),
                              {hoja("salida", "dato", "X", "ñ€<" + std::to_string(i))}));
    }
    const std::vector<std::pair<const char*, std::string>> documentos = {
        {"UTF-8", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><S><SALIDAS/></S>"},
        {"ISO-8859-1", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><S><SALIDAS/></S>"},
        {"UTF-16", readBytes(kFixtures / "utf16le-bom.xml")},
    };
    for (const auto& [nombre, documento] : documentos) {
        SCOPED_TRACE(nombre);
        Document arbol;
        arbol.loadMemory(documento, nombre);
        construir(arbol, arbol.documentElement(), grande);
        Document directo;
        directo.loadMemory(documento, nombre);
        EXPECT_EQ(directo.serializeAppending(
                      directo.documentElement(),
                      [&](ElementWriter& escritor) { escribir(escritor, grande); }),
                  arbol.serialize());
    }
}

TEST(EscrituraDirecta, RechazaLoQueUnDocumentoNoPuedeLlevar) {
    const std::vector<std::pair<const char*, void (*)(ElementWriter&)>> rechazos = {
        {"carácter de control en un texto",
         [](ElementWriter& w) { w.leaf("salida", "dato", "X", "a\x01"); }},
        {"UTF-8 inválido en un atributo", [](ElementWriter& w) { w.open("e", "a", "\xC3"); }},
        {"nombre de elemento inválido", [](ElementWriter& w) { w.open("1e"); }},
        {"nombre de atributo inválido", [](ElementWriter& w) { w.leaf("e", "a b", "", ""); }},
        {"cerrar sin abrir", [](ElementWriter& w) { w.close(); }},
        {"dejar un elemento abierto", [](ElementWriter& w) { w.open("e"); }},
    };
    for (const auto& [nombre, escribirMal] : rechazos) {
        SCOPED_TRACE(nombre);
        Document doc;
        doc.loadMemory("<S/>", "s.xml");
        EXPECT_THROW(doc.serializeAppending(doc.documentElement(), escribirMal), XmlError);
    }
}

// A failure halfway leaves an earlier file whole, and no temporary file beside it.
TEST(EscrituraDirecta, UnFalloAMitadNoTocaElArchivo) {
    const fs::path carpeta =
        fs::temp_directory_path() / ("toa-escritura-directa-" + std::to_string(getpid()));
    fs::remove_all(carpeta);
    fs::create_directories(carpeta);
    const fs::path archivo = carpeta / "resultado.xml";
    std::ofstream(archivo, std::ios::binary) << "anterior";

    Document doc;
    doc.loadMemory("<S><SALIDAS/></S>", "s.xml");
    EXPECT_THROW(doc.saveAppending(archivo, doc.selectNodes("/S/SALIDAS").at(0),
                                   [](ElementWriter& escritor) {
                                       for (int i = 0; i < 100000; ++i) {
                                           escritor.leaf("salida", "dato", "X", "relleno");
                                       }
                                       escritor.leaf("salida", "dato", "X", "\x02");
                                   }),
                 XmlError);
    EXPECT_EQ(readBytes(archivo), "anterior");
    EXPECT_EQ(std::distance(fs::directory_iterator(carpeta), fs::directory_iterator()), 1);
    fs::remove_all(carpeta);
}

}  // namespace
}  // namespace toa::xml

namespace toa::xml {
namespace {

// What a reader of the first SALIDAS would drop anyway is never held; the rest is as load()
// reads it, and a fault inside the dropped part still refuses the document.
TEST(CargaSinContenido, SoloElPrimerSalidasBajoLaRaizQuedaVacio) {
    const fs::path carpeta =
        fs::temp_directory_path() / ("toa-carga-sin-contenido-" + std::to_string(getpid()));
    fs::create_directories(carpeta);
    struct CasoCarga {
        const char* documento;
        const char* esperado;  // after loadDropping, saved
    };
    const std::vector<CasoCarga> casosCarga = {
        {"<S>\n <A><SALIDAS>x</SALIDAS></A>\n <SALIDAS a=\"1\">\n  <l seq=\"1\"><i>t</i>u</l>\n"
         "  <l/>\n </SALIDAS>\n <SALIDAS><k/></SALIDAS>\n</S>",
         "<S>\n <A><SALIDAS>x</SALIDAS></A>\n <SALIDAS a=\"1\">\n </SALIDAS>\n"
         " <SALIDAS><k/></SALIDAS>\n</S>"},
        {"<S xmlns:p=\"u\"><p:SALIDAS><k/></p:SALIDAS><SALIDAS><k/></SALIDAS></S>",
         "<S xmlns:p=\"u\"><p:SALIDAS><k/></p:SALIDAS><SALIDAS/></S>"},
        {"<SALIDAS><k/></SALIDAS>", "<SALIDAS><k/></SALIDAS>"},
    };
    for (const CasoCarga& caso : casosCarga) {
        SCOPED_TRACE(caso.documento);
        const fs::path archivo = carpeta / "d.xml";
        std::ofstream(archivo, std::ios::binary) << caso.documento;
        Document doc;
        doc.loadDropping(archivo, "SALIDAS");
        Document esperado;
        esperado.loadMemory(caso.esperado, "esperado");
        EXPECT_EQ(doc.serialize(), esperado.serialize());
    }
    const fs::path roto = carpeta / "roto.xml";
    std::ofstream(roto, std::ios::binary) << "<S><SALIDAS><l><i></l></SALIDAS></S>";
    Document doc;
    EXPECT_THROW(doc.loadDropping(roto, "SALIDAS"), XmlError);
    fs::remove_all(carpeta);
}

}  // namespace
}  // namespace toa::xml
