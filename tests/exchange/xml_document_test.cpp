#include "exchange/xml_document.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace toa::xml {
namespace {

using namespace std::string_view_literals;
namespace fs = std::filesystem;

const fs::path kFixtures = fs::path(TOA_SOURCE_DIR) / "tests/exchange/fixtures";

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A folder of its own for each test, removed afterwards.
class TempDir {
  public:
    TempDir() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = fs::temp_directory_path() /
                ("toa-xml-" + std::to_string(getpid()) + "-" + test->name());
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }
    fs::path write(const std::string& name, std::string_view bytes) const {
        std::ofstream(path_ / name, std::ios::binary).write(bytes.data(), bytes.size());
        return path_ / name;
    }

  private:
    fs::path path_;
};

// What the message of the XmlError raised by `action` says; a failure when none is raised.
template <typename Action>
std::string errorOf(Action action) {
    try {
        action();
    } catch (const XmlError& error) {
        return error.what();
    }
    ADD_FAILURE() << "no XmlError";
    return {};
}

Document parsed(std::string_view utf8) {
    Document doc;
    doc.loadMemory(utf8, "prueba.xml");
    return doc;
}

std::vector<std::string> names(const std::vector<Node>& nodes) {
    std::vector<std::string> result;
    for (const Node& node : nodes) result.push_back(node.name() + "=" + node.text());
    return result;
}

// ---- encodings ----

struct EncodingCase {
    const char* file;
    std::string_view savedStart;  // byte order mark and declaration of the saved document
    std::string_view savedText;   // "Peñalara € 一" as the saved document holds it
    std::string_view savedNota;   // the attribute nota="€ 一" likewise
};

TEST(XmlEncodings, EachLoadsAndSavesBackInItsOwnEncoding) {
    const EncodingCase cases[] = {
        {"utf8-declarada.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
         "Pe\xC3\xB1"
         "alara \xE2\x82\xAC \xE4\xB8\x80",
         "nota=\"\xE2\x82\xAC \xE4\xB8\x80\""},
        // No declaration means UTF-8, and the saved document says so.
        {"utf8-sin-declaracion.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
         "Pe\xC3\xB1"
         "alara \xE2\x82\xAC \xE4\xB8\x80",
         "nota=\"\xE2\x82\xAC \xE4\xB8\x80\""},
        {"utf16le-bom.xml", "\xFF\xFE<\0?\0x\0m\0l\0"sv,
         "P\0e\0\xF1\0a\0l\0a\0r\0a\0 \0\xAC\x20 \0\x00\x4E"sv,
         "n\0o\0t\0a\0=\0\"\0\xAC\x20 \0\x00\x4E\"\0"sv},
        // Its byte order mark alone says UTF-16: it stays UTF-16.
        {"utf16be-bom-sin-declaracion.xml", "\xFF\xFE<\0?\0x\0m\0l\0"sv,
         "P\0e\0\xF1\0a\0l\0a\0r\0a\0 \0\xAC\x20 \0\x00\x4E"sv,
         "n\0o\0t\0a\0=\0\"\0\xAC\x20 \0\x00\x4E\"\0"sv},
        {"iso-8859-1.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>",
         "Pe\xF1"
         "alara &#8364; &#19968;",
         "nota=\"&#8364; &#19968;\""},
        {"windows-1252.xml", "<?xml version=\"1.0\" encoding=\"windows-1252\"?>",
         "Pe\xF1"
         "alara \x80 &#19968;",
         "nota=\"\x80 &#19968;\""},
    };
    for (const EncodingCase& c : cases) {
        SCOPED_TRACE(c.file);
        Document doc;
        doc.load(kFixtures / c.file);
        const std::vector<Node> prueba = doc.selectNodes("/SERVICIO/prueba");
        ASSERT_EQ(prueba.size(), 1u);
        EXPECT_EQ(prueba[0].text(), "Peñalara € 一");
        EXPECT_EQ(prueba[0].attribute("nota"), "€ 一");

        const std::string saved = doc.serialize();
        EXPECT_EQ(saved.substr(0, c.savedStart.size()), c.savedStart);
        EXPECT_NE(saved.find(c.savedText), std::string::npos);
        EXPECT_NE(saved.find(c.savedNota), std::string::npos);

        Document again;
        again.loadMemory(saved, "guardado");
        EXPECT_EQ(again.selectNodes("/SERVICIO/prueba")[0].text(), "Peñalara € 一");
    }
}

TEST(XmlEncodings, NewDocumentSavesAsUtf8) {
    EXPECT_EQ(Document().serialize(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
}

// ---- untrusted input ----

TEST(XmlRefusals, DocumentsWithEntitiesOrOutsideDtdAreRefused) {
    struct Case {
        const char* what;
        std::string document;
        const char* expected;
    };
    const Case cases[] = {
        {"internal entity", "<!DOCTYPE S [<!ENTITY e \"x\">]><S>&e;</S>", "declara la entidad «e»"},
        {"declared but unused", "<!DOCTYPE S [\n<!ENTITY e \"x\">]><S/>", "(línea 2, columna"},
        {"parameter entity", "<!DOCTYPE S [<!ENTITY % p \"\">]><S/>", "declara la entidad «p»"},
        {"unparsed entity",
         "<!DOCTYPE S [<!NOTATION n SYSTEM \"n\"><!ENTITY u SYSTEM \"u\" NDATA n>]><S/>",
         "declara la entidad «u»"},
        {"system DTD", "<!DOCTYPE S SYSTEM \"s.dtd\"><S/>", "hace referencia a una DTD externa"},
        {"public DTD", "<!DOCTYPE S PUBLIC \"-//x//y\" \"s.dtd\"><S/>", "DTD externa"},
        {"undeclared parameter entity", "<!DOCTYPE S [%p;]><S/>", "PEReference: %p; not found"},
        {"undeclared entity", "<S>&e;</S>", "Entity 'e' not defined"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Document doc = parsed("<antes/>");
        const std::string message = errorOf([&] { doc.loadMemory(c.document, "prueba.xml"); });
        EXPECT_NE(message.find("prueba.xml"), std::string::npos) << message;
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
        // The refused document replaced nothing.
        EXPECT_EQ(doc.documentElement().name(), "antes");
    }
}

TEST(XmlRefusals, ExternalEntityNeverReadsTheLocalFile) {
    TempDir dir;
    const fs::path secret = dir.write("secreto.txt", "CONTENIDO-SECRETO");
    const std::string viaUri = "<!DOCTYPE SERVICIO [<!ENTITY x SYSTEM \"file://" + secret.string() +
                               "\">]><SERVICIO>&x;</SERVICIO>";
    const fs::path viaRelative =
        dir.write("relativo.xml",
                  "<!DOCTYPE SERVICIO [<!ENTITY x SYSTEM \"secreto.txt\">]>"
                  "<SERVICIO><a>&x;</a><b attr=\"&x;\"/></SERVICIO>");

    Document fromMemory;
    const std::string first = errorOf([&] { fromMemory.loadMemory(viaUri, "uri.xml"); });
    Document fromFile;
    const std::string second = errorOf([&] { fromFile.load(viaRelative); });
    for (const Document* doc : {&fromMemory, &fromFile}) {
        EXPECT_FALSE(doc->documentElement());
        EXPECT_EQ(doc->serialize().find("CONTENIDO"), std::string::npos);
    }
    EXPECT_NE(first.find("declara la entidad «x»"), std::string::npos) << first;
    EXPECT_NE(second.find("declara la entidad «x»"), std::string::npos) << second;
    EXPECT_EQ(first.find("CONTENIDO"), std::string::npos);
    EXPECT_EQ(second.find("CONTENIDO"), std::string::npos);
}

TEST(XmlRefusals, BillionLaughsFailsFast) {
    std::string bomb = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n<!ENTITY lol \"lol\">\n";
    for (int i = 1; i <= 9; ++i) {
        bomb += "<!ENTITY lol" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j)
            bomb += "&lol" + (i == 1 ? std::string() : std::to_string(i - 1)) + ";";
        bomb += "\">\n";
    }
    bomb += "]>\n<lolz>&lol9;</lolz>\n";

    const auto start = std::chrono::steady_clock::now();
    Document doc;
    const std::string message = errorOf([&] { doc.loadMemory(bomb, "bomba.xml"); });
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_NE(message.find("declara la entidad «lol»"), std::string::npos) << message;
}

// ---- documents that do not parse ----

TEST(XmlMalformed, MessageNamesSourceLineColumnAndParserText) {
    struct Case {
        const char* what;
        std::string document;
        const char* position;
        const char* parserText;
    };
    const Case cases[] = {
        {"tag mismatch", "<SERVICIO>\n<SALIDAS>\n</SERVICIO>", "(línea 3, columna 12)",
         "Opening and ending tag mismatch"},
        {"empty", "", "(línea 1, columna 1)", "Document is empty"},
        {"bad UTF-8", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<S>\xE9</S>",
         "(línea 2, columna", "not proper UTF-8"},
        // libxml2 alone would accept it; a namespace error is an error all the same.
        {"undeclared prefix", "<S>\n  <x:a/></S>", "(línea 2, columna", "Namespace prefix x"},
        {"unknown encoding", "<?xml version=\"1.0\" encoding=\"nada-99\"?><S/>",
         "(línea 1, columna", "nada-99"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Document doc;
        const std::string message = errorOf([&] { doc.loadMemory(c.document, "/x/y.xml"); });
        EXPECT_EQ(
            message.rfind(std::string("El documento XML /x/y.xml no es válido ") + c.position, 0),
            0u)
            << message;
        EXPECT_NE(message.find(c.parserText), std::string::npos) << message;
        EXPECT_NE(message.back(), '\n');
    }
}

TEST(XmlMalformed, MissingFileOrFolderIsNamed) {
    TempDir dir;
    for (const fs::path& path : {fs::path("/no/existe/centro.xml"), dir.path()}) {
        Document doc;
        const std::string message = errorOf([&] { doc.load(path); });
        EXPECT_EQ(message, "No se puede abrir el documento XML " + path.string());
    }
}

// ---- selections and reads ----

TEST(XmlSelect, ResultsComeInDocumentOrderAndRelativeToTheNode) {
    const Document doc = parsed("<r><a>1</a><b>2<a>3</a></b><a>4</a></r>");
    EXPECT_EQ(names(doc.selectNodes("//b | //a")),
              (std::vector<std::string>{"a=1", "b=23", "a=3", "a=4"}));
    EXPECT_EQ(names(doc.selectNodes("/r/b")[0].selectNodes("a")),
              (std::vector<std::string>{"a=3"}));
    EXPECT_TRUE(doc.selectNodes("/r/nada").empty());
}

TEST(XmlSelect, SingleNodeIsTheFirstChildElementOfThatName) {
    const Document doc =
        parsed("<r xmlns:p=\"urn:p\"><x><S>hondo</S></x><p:S>ns</p:S><S>1</S><S>2</S></r>");
    const Node root = doc.documentElement();
    EXPECT_EQ(root.selectSingleNode("S").text(), "1");
    EXPECT_FALSE(root.selectSingleNode("T"));
}

TEST(XmlSelect, BadExpressionsRaise) {
    const Document doc = parsed("<r/>");
    EXPECT_NE(errorOf([&] { doc.selectNodes("/r["); }).find("«/r[» no es válida"),
              std::string::npos);
    EXPECT_NE(errorOf([&] { doc.selectNodes("count(/r)"); }).find("no selecciona nodos"),
              std::string::npos);
    EXPECT_NE(errorOf([&] { doc.selectNodes("/r/namespace::*"); }).find("espacios de nombres"),
              std::string::npos);
    EXPECT_NE(errorOf([] { Node().text(); }).find("No hay nodo"), std::string::npos);
}

TEST(XmlSelect, AttributesAsWritten) {
    const Document doc = parsed("<r a=\" x &amp; y \" vacio=\"\" xmlns:p=\"urn:p\" p:b=\"ns\"/>");
    const Node root = doc.documentElement();
    EXPECT_EQ(root.attribute("a"), " x & y ");
    EXPECT_EQ(root.attribute("vacio"), "");
    EXPECT_EQ(root.attribute("b"), std::nullopt);
    EXPECT_EQ(root.attribute("c"), std::nullopt);
}

// ---- changes and saving ----

TEST(XmlEdit, TextAndAttributesRoundTripWithMarkupCharacters) {
    Document doc =
        parsed("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r><viejo>v<h/></viejo></r>");
    Node viejo = doc.documentElement().selectSingleNode("viejo");
    viejo.setText("<&> \"ñ\" ]]>");
    Node nuevo = doc.createElement("nuevo");
    nuevo.setAttribute("v", "<&>\"'\t€");
    nuevo.setText("");
    doc.documentElement().appendChild(nuevo);

    const Document again = parsed(doc.serialize());
    EXPECT_EQ(names(again.selectNodes("/r/*")),
              (std::vector<std::string>{"viejo=<&> \"ñ\" ]]>", "nuevo="}));
    EXPECT_TRUE(again.selectNodes("/r/viejo/h").empty());
    EXPECT_EQ(again.selectNodes("/r/nuevo")[0].attribute("v"), "<&>\"'\t€");
}

TEST(XmlEdit, TextsAndNamesAXmlDocumentCannotCarryAreRefused) {
    Document doc = parsed("<r/>");
    Node root = doc.documentElement();
    EXPECT_NE(errorOf([&] { root.setText("a\x01z"); }).find("código 1"), std::string::npos);
    EXPECT_NE(errorOf([&] { root.setText("a\0z"sv); }).find("código 0"), std::string::npos);
    EXPECT_NE(errorOf([&] { root.setAttribute("a", "\xE9"); }).find("UTF-8"), std::string::npos);
    EXPECT_NE(errorOf([&] { root.setAttribute("1a", "x"); }).find("«1a»"), std::string::npos);
    EXPECT_NE(errorOf([&] { doc.createElement("a b"); }).find("«a b»"), std::string::npos);
    EXPECT_NE(errorOf([&] { doc.createElement(""); }).find("nombre de elemento"),
              std::string::npos);
}

TEST(XmlEdit, AppendMovesAndRefusesCyclesAndOtherDocuments) {
    Document doc = parsed("<r><a><b/></a><c/></r>");
    const Node root = doc.documentElement();
    Node a = root.selectSingleNode("a");
    Node b = a.selectSingleNode("b");
    root.selectSingleNode("c").appendChild(b);
    EXPECT_EQ(names(doc.selectNodes("//*")), (std::vector<std::string>{"r=", "a=", "c=", "b="}));
    EXPECT_FALSE(a.selectSingleNode("b"));

    EXPECT_NE(errorOf([&] { b.appendChild(root); }).find("descendiente"), std::string::npos);
    EXPECT_NE(errorOf([&] { a.appendChild(a); }).find("sí mismo"), std::string::npos);
    Document other = parsed("<o/>");
    EXPECT_NE(errorOf([&] { a.appendChild(other.createElement("x")); }).find("otro documento"),
              std::string::npos);
}

TEST(XmlEdit, RemoveChildTakesItsContentAndRefusesStrangers) {
    Document doc = parsed("<SERVICIO><OTRO/><SALIDAS><listasal/></SALIDAS><x><y/></x></SERVICIO>");
    Node root = doc.documentElement();
    root.removeChild(root.selectSingleNode("SALIDAS"));
    EXPECT_EQ(names(doc.selectNodes("//*")),
              (std::vector<std::string>{"SERVICIO=", "OTRO=", "x=", "y="}));

    const Node grandchild = doc.selectNodes("//y")[0];
    EXPECT_NE(errorOf([&] { root.removeChild(grandchild); }).find("no es hijo de «SERVICIO»"),
              std::string::npos);
    EXPECT_NE(
        errorOf([&] { root.removeChild(root.selectSingleNode("SALIDAS")); }).find("No hay nodo"),
        std::string::npos);
    EXPECT_EQ(doc.selectNodes("//y").size(), 1u);
}

TEST(XmlEdit, SaveReplacesTheFileWithTheSerializedDocument) {
    TempDir dir;
    const fs::path target = dir.write("ResultadoOrbetacentro.xml", "viejo contenido más largo");
    Document doc;
    doc.load(kFixtures / "windows-1252.xml");
    doc.save(target);
    EXPECT_EQ(readBytes(target), doc.serialize());
}

}  // namespace
}  // namespace toa::xml
