#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <sstream>
#include <string>

#include "platform/ansi.h"
#include "platform/error.h"
#include "tables/dbase_file.h"
#include "tables/definitions.h"
#include "tests/tables/hand_built_dbf.h"

namespace toa::tables {
namespace {

using testing::HandBuiltDbf;

std::string written(const Table& table) {
    std::ostringstream out;
    writeDbf(table, out);
    return out.str();
}

unsigned byteAt(const std::string& bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes.at(at));
}
unsigned le16(const std::string& bytes, std::size_t at) {
    return byteAt(bytes, at) | byteAt(bytes, at + 1) << 8;
}
unsigned le32(const std::string& bytes, std::size_t at) {
    return le16(bytes, at) | le16(bytes, at + 2) << 16;
}

TEST(DbfWriter, WritesADbase3PlusFileByteForByte) {
    Table table(ASIGNOMT);
    for (const char* code : {"LENG", "MATE"}) {
        const std::size_t row = table.append();
        table.setString(row, table.fieldIndex("COD"), code);
        table.setBoolean(row, table.fieldIndex("ESTAREA"), true);
    }
    const std::string bytes = written(table);
    const std::size_t fields = 6;
    const std::size_t headerLength = 32 + 32 * fields + 1;
    const std::size_t recordLength = 1 + 4 + 8 + 40 + 8 + 12 + 1;

    EXPECT_EQ(byteAt(bytes, 0), 0x03u);
    const std::time_t now = std::time(nullptr);
    std::tm today{};
    localtime_r(&now, &today);
    EXPECT_EQ(byteAt(bytes, 1), static_cast<unsigned>(today.tm_year));
    EXPECT_EQ(byteAt(bytes, 2), static_cast<unsigned>(today.tm_mon + 1));
    EXPECT_EQ(byteAt(bytes, 3), static_cast<unsigned>(today.tm_mday));
    EXPECT_EQ(le32(bytes, 4), 2u);
    EXPECT_EQ(le16(bytes, 8), headerLength);
    EXPECT_EQ(le16(bytes, 10), recordLength);
    EXPECT_EQ(byteAt(bytes, 28), 0u) << "no production index";
    EXPECT_EQ(byteAt(bytes, 29), 0x03u) << "Windows-1252";

    EXPECT_EQ(bytes.substr(32, 11), std::string("COD\0\0\0\0\0\0\0\0", 11));
    EXPECT_EQ(bytes[32 + 11], 'C');
    EXPECT_EQ(byteAt(bytes, 32 + 16), 4u);
    EXPECT_EQ(bytes.substr(32 + 5 * 32, 11), std::string("ESTAREA\0\0\0\0", 11));
    EXPECT_EQ(bytes[32 + 5 * 32 + 11], 'L');
    EXPECT_EQ(byteAt(bytes, 32 + 5 * 32 + 16), 1u);
    EXPECT_EQ(bytes[headerLength - 1], '\x0D');

    ASSERT_EQ(bytes.size(), headerLength + 2 * recordLength + 1);
    EXPECT_EQ(bytes.substr(headerLength, 5), " LENG");
    EXPECT_EQ(bytes[headerLength + recordLength - 1], 'T');
    EXPECT_EQ(bytes.substr(headerLength + recordLength, 5), " MATE");
    EXPECT_EQ(bytes.back(), '\x1A');
    EXPECT_EQ(bytes.find('\x1A'), bytes.size() - 1) << "exactly one end marker";

    const Table numbers(PROFT);
    const std::string empty = written(numbers);
    EXPECT_EQ(empty.size(), 32 + 32 * 6 + 1 + 1u) << "an empty table is its header and the marker";
    EXPECT_EQ(empty[32 + 3 * 32 + 11], 'N');
    EXPECT_EQ(byteAt(empty, 32 + 3 * 32 + 16), 11u);
    EXPECT_EQ(byteAt(empty, 32 + 3 * 32 + 17), 0u);
}

TEST(DbfWriter, RefusesWhatAdBaseFileCannotHold) {
    const struct {
        const char* what;
        Table table;
    } cases[] = {
        {"name of eleven letters", Table("X", {{"DEMASIADOSS", 'C', 1}})},
        {"no fields", Table("X", {})},
        {"256 fields", Table("X", std::vector<Field>(256, Field{"A", 'C', 1}))},
    };
    for (const auto& c : cases) {
        EXPECT_THROW(written(c.table), Error) << c.what;
    }
}

// Every table filled with a row whose texts are Spanish and a row left unset comes back the same.
TEST(DbfRoundTrip, EveryTableComesBackWithItsFieldsAndValues) {
    const std::string spanish = ansiFromUtf8(" Ñandú €uro ÁÉÍÓÚ áéíóú üÜ ¿¡ ñ Ç ª º · ÿ æ ß end");
    for (const TableDef* def :
         {&ASIGNOMT, &ASIGNOMT2, &PROFT, &AULAT, &CURSOST, &GRUPOST, &ASIGT, &DIASHORAST, &SOLUC}) {
        SCOPED_TRACE(std::string(def->name));
        Table table(*def);
        const std::size_t full = table.append();
        table.append();
        for (std::size_t f = 0; f < def->fields.size(); ++f) {
            switch (def->fields[f].kind) {
                case FieldKind::Text:
                    table.setString(full, f, spanish);
                    break;
                case FieldKind::Logical:
                    table.setBoolean(full, f, true);
                    break;
                case FieldKind::Integer:
                    table.setFloat(full, f, -2147483647);
                    break;
                case FieldKind::Float:
                    table.setFloat(full, f, 12.3456);
                    break;
            }
        }
        const Table back = readDbf(written(table), "prueba.dbf");
        ASSERT_EQ(back.fields().size(), table.fields().size());
        for (std::size_t f = 0; f < back.fields().size(); ++f) {
            EXPECT_EQ(back.fields()[f].name, table.fields()[f].name);
            EXPECT_EQ(back.fields()[f].type, table.fields()[f].type);
            EXPECT_EQ(back.fields()[f].length, table.fields()[f].length);
            EXPECT_EQ(back.fields()[f].decimals, table.fields()[f].decimals);
        }
        ASSERT_EQ(back.recordCount(), 2u);
        EXPECT_EQ(back.record(0), table.record(0));
        EXPECT_EQ(back.record(1), table.record(1));
    }
}

// A small table in the layouts of the other dialects: two rows, one deleted between them.
HandBuiltDbf sample(unsigned char version) {
    HandBuiltDbf dbf;
    dbf.version = version;
    dbf.fields = {{"PROF", 'C', 4}, {"DIA", 'N', 3}, {"HORA", 'F', 6, 2}, {"ACTIVO", 'L', 1}};
    dbf.records = {" AB    3  1.50T", "*XX    9  9.00F", " CD    5 12.00F"};
    return dbf;
}

void expectSample(const Table& table) {
    ASSERT_EQ(table.recordCount(), 2u) << "deleted rows are skipped and not counted";
    EXPECT_EQ(table.asString(0, table.fieldIndex("PROF")), "AB");
    EXPECT_EQ(table.asInteger(0, table.fieldIndex("DIA")), 3);
    EXPECT_EQ(table.asString(0, table.fieldIndex("HORA")), "1.5");
    EXPECT_EQ(table.asString(0, table.fieldIndex("ACTIVO")), "True");
    EXPECT_EQ(table.asString(1, table.fieldIndex("PROF")), "CD");
    EXPECT_EQ(table.asInteger(1, table.fieldIndex("HORA")), 12);
}

TEST(DbfReader, ReadsEveryDialectItKnows) {
    const struct {
        unsigned char version;
        const char* dialect;
        std::size_t backlink;
    } cases[] = {
        {0x03, "dBase III / IV", 0},
        {0x04, "dBase IV", 0},
        {0x05, "dBase V", 0},
        {0x30, "Visual FoxPro", 263},
        {0x31, "Visual FoxPro, autoincrement", 263},
        {0x43, "dBase IV SQL table", 0},
        {0x63, "dBase IV SQL system", 0},
        {0x83, "dBase III with memo", 0},
        {0x8B, "dBase IV with memo", 0},
        {0xCB, "dBase IV SQL with memo", 0},
        {0xF5, "FoxPro 2 with memo", 0},
        {0xFB, "FoxBASE", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dialect);
        HandBuiltDbf dbf = sample(c.version);
        dbf.backlink = c.backlink;
        expectSample(readDbf(dbf.bytes(), "prueba.dbf"));
    }
}

TEST(DbfReader, ReadsADbase4FileWithProductionIndexAndDeletedRows) {
    HandBuiltDbf dbf = sample(0x8B);
    dbf.indexFlag = 0x01;
    dbf.records.insert(dbf.records.begin(), "*ZZ    1  1.00F");
    dbf.records.push_back("*YY    2  2.00T");
    expectSample(readDbf(dbf.bytes(), "prueba.dbf"));
}

TEST(DbfReader, ToleratesAMissingEndMarker) {
    HandBuiltDbf dbf = sample(0x03);
    dbf.endMarker = false;
    expectSample(readDbf(dbf.bytes(), "prueba.dbf"));
}

TEST(DbfReader, FindsRecordsByTheLengthsTheHeaderGives) {
    // Bytes after the field list's terminator and records longer than their fields, as some
    // writers leave them.
    HandBuiltDbf dbf = sample(0x03);
    dbf.backlink = 5;
    dbf.padding = 2;
    for (std::string& record : dbf.records) record += "@@";
    expectSample(readDbf(dbf.bytes(), "prueba.dbf"));
}

void expectFileError(const std::string& bytes, const std::string& what,
                     const std::string& reason = "") {
    try {
        readDbf(bytes, "/datos/prueba.dbf");
        ADD_FAILURE() << what << ": no error";
    } catch (const Error& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("/datos/prueba.dbf"), std::string::npos) << what << ": " << message;
        EXPECT_NE(message.find(reason), std::string::npos) << what << ": " << message;
    }
}

TEST(DbfReader, BadFilesEndInAnErrorNamingTheFile) {
    const std::string good = sample(0x03).bytes();
    const std::size_t header = sample(0x03).headerLength();
    const auto with = [&](const std::function<void(std::string&)>& change) {
        std::string bytes = good;
        change(bytes);
        return bytes;
    };
    const auto field = [&](const std::function<void(HandBuiltDbf&)>& change) {
        HandBuiltDbf dbf = sample(0x03);
        change(dbf);
        return dbf.bytes();
    };
    const struct {
        const char* what;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"empty file", "", "incompleto"},
        {"shorter than a header", good.substr(0, 31), "incompleto"},
        {"header cut off", good.substr(0, header - 1), "no cabe en el archivo"},
        {"last record cut off", good.substr(0, good.size() - 3), "truncado"},
        {"record count too high", with([](std::string& b) { b[4] = 4; }), "truncado"},
        {"record count too low", with([](std::string& b) { b[4] = 2; }), "de más"},
        {"record count huge", with([](std::string& b) { b[7] = '\x7F'; }), "truncado"},
        {"header length past the file", with([](std::string& b) { b[9] = '\x7F'; }),
         "no cabe en el archivo"},
        {"header length shorter than a header", with([](std::string& b) {
             b[8] = 20;
             b[9] = 0;
         }),
         "cabecera vacía"},
        {"header length one short",
         with([&](std::string& b) { b[8] = static_cast<char>(header - 1); }), "no termina"},
        {"record length too long", with([](std::string& b) { b[10] = 17; }), "truncado"},
        {"record length too short: a field runs past the record",
         with([](std::string& b) { b[10] = 14; }), "no caben en el registro"},
        {"field list without terminator", with([&](std::string& b) { b[header - 1] = ' '; }),
         "no termina"},
        {"field of width 0", field([](HandBuiltDbf& d) {
             d.fields.push_back({"VACIO", 'C', 0});
         }),
         "VACIO"},
        {"field without a name", field([](HandBuiltDbf& d) { d.fields[1].name = ""; }),
         "no tiene nombre"},
        {"binary integer not 4 bytes wide", field([](HandBuiltDbf& d) {
             d.fields.push_back({"I", 'I', 3});
             for (std::string& r : d.records) r += "abc";
         }),
         "4 bytes"},
        {"256 fields", field([](HandBuiltDbf& d) {
             d.fields.assign(256, {"A", 'C', 1});
             d.records = {std::string(257, ' ')};
         }),
         "255 campos"},
        {"no fields", field([](HandBuiltDbf& d) {
             d.fields.clear();
             d.records = {" "};
         }),
         "no tiene campos"},
        {"a record without deletion flag", with([&](std::string& b) { b[header] = 'X'; }),
         "marca de borrado"},
        {"junk after the end marker", good + "xx", "de más"},
        {"another byte instead of the end marker", with([](std::string& b) { b.back() = 'x'; }),
         "marca de fin"},
        {"dBase II", with([](std::string& b) { b[0] = 0x02; }), "dBase II"},
        {"unknown version", with([](std::string& b) { b[0] = 0x07; }), "0x07"},
        {"not a table at all", std::string(600, 'x'), "desconocida"},
    };
    for (const auto& c : cases) expectFileError(c.bytes, c.what, c.reason);
}

// Whatever a damaged header says, reading stays inside the bytes and ends in a table or an Error.
TEST(DbfReader, NeverReadsPastTheData) {
    const std::string good = sample(0x03).bytes();
    for (std::size_t size = 0; size + 1 < good.size(); ++size)
        expectFileError(good.substr(0, size), "cut to " + std::to_string(size) + " bytes");
    for (std::size_t at = 0; at < sample(0x03).headerLength(); ++at) {
        for (const char value : {'\x00', '\x0D', '\x7F', '\xFF'}) {
            std::string bytes = good;
            bytes[at] = value;
            try {
                readDbf(bytes, "prueba.dbf");
            } catch (const Error&) {
            }
        }
    }
}

TEST(DbfReader, AMissingFileIsAnErrorNamingIt) {
    try {
        readDbfFile("/no/existe/SOLUC.DBF");
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("/no/existe/SOLUC.DBF"), std::string::npos);
    }
}

}  // namespace
}  // namespace toa::tables
