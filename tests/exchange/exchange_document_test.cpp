#include "exchange/exchange_document.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

namespace toa::exchange {
namespace {

namespace fs = std::filesystem;
using Items = std::vector<std::string>;

// Every reading convention in one small document.
constexpr const char* kDocument = R"(<?xml version="1.0" encoding="UTF-8"?>
<SERVICIO>
  <OTRO><listasal seq="MATERIAS"><listasal><salida>fuera</salida><salida>x</salida></listasal></listasal></OTRO>
  <SALIDAS>
    <listasal seq="MATERIAS">
      <listasal>
        <salida>	 M1
 </salida>
        <salida>  Lengua  y Literatura	</salida>
        <salida>LENG</salida>
      </listasal>
      <listasal><salida>solo</salida></listasal>
      <listasal/>
    </listasal>
    <listasal seq="TAREAS"><listasal><salida>T1</salida><salida>Guardia</salida></listasal></listasal>
    <listasal seq="MATERIAS">
      <listasal>
        <salida>M2</salida>
        <otro><salida>anidada</salida></otro>
        <salida>Peñalara € 一</salida>
      </listasal>
    </listasal>
    <listasal seq="materias"><listasal><salida>m</salida><salida>minúsculas</salida></listasal></listasal>
    <listasal seq="INTERVALOS">
      <listasal>
        <salida dato="ORDEN">1</salida>
        <salida dato="FIN"> 09:00 </salida>
        <salida dato="NOMBRE">Primera</salida>
        <salida dato="INICIO">08:00</salida>
        <salida dato="CODIGO_ARDEL">I1</salida>
      </listasal>
      <listasal>
        <salida dato="CODIGO_ARDEL">I2</salida>
        <salida dato="NOMBRE">Segunda</salida>
        <salida dato="NOMBRE">Segunda bis</salida>
        <salida>sin dato</salida>
        <salida dato="ORDEN ">99</salida>
        <salida dato="orden">98</salida>
        <salida dato="">97</salida>
      </listasal>
      <listasal/>
    </listasal>
  </SALIDAS>
</SERVICIO>
)";

xml::Document document() {
    xml::Document doc;
    doc.loadMemory(kDocument, "centro.xml");
    return doc;
}

std::vector<Items> itemsOf(const std::vector<Entry>& entries) {
    std::vector<Items> result;
    for (const Entry& entry : entries) result.push_back(entry.items);
    return result;
}

TEST(ExchangeEntries, ListsAreSelectedByExactNameInDocumentOrder) {
    const xml::Document doc = document();
    struct Case {
        std::string_view list;
        std::vector<Items> expected;
    };
    const Case cases[] = {
        // Both lists named MATERIAS, the first one first; values trimmed at both ends only;
        // a nested salida is no item; the list outside SALIDAS is not read.
        {kMaterias,
         {{"M1", "Lengua  y Literatura", "LENG"},
          {"solo"},
          {},
          {"M2",
           "Pe\xF1"
           "alara \x80 ?"}}},
        {kTareas, {{"T1", "Guardia"}}},
        {kProfesores, {}},
        {"materias", {{"m", "min\xFAsculas"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        EXPECT_EQ(itemsOf(selectEntries(doc, c.list)), c.expected);
    }
}

TEST(ExchangeEntries, OnlyEntriesOfTwoItemsAreUsedAndMissingItemsReadEmpty) {
    const std::vector<Entry> entries = selectEntries(document(), kMaterias);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ((std::vector<bool>{entries[0].used(), entries[1].used(), entries[2].used(),
                                 entries[3].used()}),
              (std::vector<bool>{true, false, false, true}));
    EXPECT_EQ(entries[3].item(1),
              "Pe\xF1"
              "alara \x80 ?");
    EXPECT_EQ(entries[3].item(2), "");
    EXPECT_EQ(entries[2].item(0), "");
}

TEST(ExchangeEntries, AQuoteInTheListNameIsRefused) {
    EXPECT_THROW(selectEntries(document(), "MATERIAS\"] | //*[\""), Error);
}

TEST(ExchangeIntervals, ReadByDatoExactlyInAnyOrderTheLaterWinning) {
    const std::vector<Interval> intervals = readIntervals(document());
    ASSERT_EQ(intervals.size(), 3u);
    const auto fields = [](const Interval& i) {
        return Items{i.codigoArdel, i.nombre, i.inicio, i.fin, i.orden};
    };
    EXPECT_EQ(fields(intervals[0]), (Items{"I1", "Primera", "08:00", "09:00", "1"}));
    // "ORDEN " and "orden" are other names; an item without dato is ignored.
    EXPECT_EQ(fields(intervals[1]), (Items{"I2", "Segunda bis", "", "", ""}));
    // An entry without items is still an interval.
    EXPECT_EQ(fields(intervals[2]), (Items{"", "", "", "", ""}));
}

TEST(ExchangeLoad, ADocumentThatDoesNotParseIsNamedWithLineAndColumn) {
    const fs::path path =
        fs::temp_directory_path() / ("toa-exchange-" + std::to_string(getpid()) + "-roto.xml");
    std::ofstream(path) << "<SERVICIO>\n  <SALIDAS>\n</SERVICIO>\n";
    try {
        loadExchangeDocument(path);
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what())
                      .rfind("El documento XML " + path.string() +
                                 " no es válido (línea 3, columna 12): ",
                             0),
                  0u)
            << error.what();
    }
    fs::remove(path);

    const xml::Document doc =
        loadExchangeDocument(fs::path(TOA_SOURCE_DIR) / "tests/exchange/fixtures/windows-1252.xml");
    EXPECT_EQ(doc.documentElement().name(), "SERVICIO");
}

// The export's load drops the blanks that lay the document out, and nothing an item says: every
// list and interval reads as a full load reads it, blanks inside an item's markup included.
TEST(ExchangeLoad, TheExportsLoadReadsEveryItemAsAFullLoad) {
    const fs::path path =
        fs::temp_directory_path() / ("toa-exchange-" + std::to_string(getpid()) + "-lectura.xml");
    const std::string mixed = R"(<SERVICIO>
  <SALIDAS>
    <listasal seq="AULAS">
      <listasal>
        <salida>   </salida>
        <salida> <b>x</b> <b>y</b> </salida>
        <salida>a<!-- c -->  <b/>  b</salida>
        <salida><![CDATA[  ]]>z<![CDATA[ w ]]></salida>
      </listasal>
    </listasal>
  </SALIDAS>
</SERVICIO>
)";
    for (const std::string& text : {std::string(kDocument), mixed}) {
        std::ofstream(path, std::ios::binary) << text;
        xml::Document full;
        full.loadMemory(text, "centro.xml");
        const xml::Document read = loadExchangeDocument(path);
        for (const std::string_view list :
             {kMaterias, kTareas, kAulas, std::string_view("materias")}) {
            SCOPED_TRACE(list);
            EXPECT_EQ(itemsOf(selectEntries(read, list)), itemsOf(selectEntries(full, list)));
        }
        ASSERT_EQ(readIntervals(read).size(), readIntervals(full).size());
        for (std::size_t i = 0; i < readIntervals(full).size(); ++i) {
            EXPECT_EQ(readIntervals(read)[i].nombre, readIntervals(full)[i].nombre);
            EXPECT_EQ(readIntervals(read)[i].fin, readIntervals(full)[i].fin);
        }
        const std::string layout = "//text()[normalize-space()=''][not(ancestor::salida)]";
        EXPECT_FALSE(full.selectNodes(layout).empty());
        EXPECT_TRUE(read.selectNodes(layout).empty());
    }
    EXPECT_EQ(itemsOf(selectEntries(loadExchangeDocument(path), kAulas)),
              (std::vector<Items>{{"", "x y", "a    b", "z w"}}));
    fs::remove(path);
}

}  // namespace
}  // namespace toa::exchange
