#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <string>

#include "platform/ansi.h"
#include "platform/error.h"
#include "tables/dbase_table.h"
#include "tables/definitions.h"

namespace toa::tables {
namespace {

// One field of each kind, as the export lays them out.
const TableDef kKinds{"PRUEBA",
                      {{"T", FieldKind::Text, 6},
                       {"N", FieldKind::Integer},
                       {"F", FieldKind::Float},
                       {"L", FieldKind::Logical}}};

std::string layout(const Table& table) {
    std::string out;
    for (const Field& field : table.fields()) {
        if (!out.empty()) out += ' ';
        out += field.name + ':' + field.type + std::to_string(field.length);
        if (field.decimals) out += ',' + std::to_string(field.decimals);
    }
    return out;
}

TEST(Definitions, NineTablesHaveTheirFieldsInFileOrder) {
    const struct {
        const TableDef& def;
        const char* fields;
    } cases[] = {
        {ASIGNOMT, "COD:C4 CODLARGO:C8 NOMBRE:C40 MATERIA:C8 CODTAREA:C12 ESTAREA:L1"},
        {ASIGNOMT2, "COD:C4 CODLARGO:C8 NOMBRE:C40 MATERIA:C8 CLAVECURSO:C12 ALECTIVA:C1"},
        {PROFT, "ABREV:C4 NOMBRE:C40 DEPART:C40 DNI:N11 X_EMPLEADO:C10 F_TOMAPOS:C10"},
        {AULAT, "ABREV:C4 NOMBRE:C40 EDIFICIO:C1 MAXALUM:N11 DEPCENTRO:C10"},
        {CURSOST, "ABREV:C3 TURNO:C1 NIVEL:C5 CURSO:C3 CLAVE:C10"},
        {GRUPOST, "ABREV:C4 TURNO:C1 NIVEL:C5 CURSO:C3 GRUPO:C2 CLAVE:C10 CLAVECURSO:C10"},
        {ASIGT,
         "CASIG:C4 CPROF:C4 CGRUP:C4 CAULA:C4 TURNO:C1 NIVEL:C5 CURSO:C3 GRUPO:C2 HORAS:N20,4 "
         "SESIONES:C20 CLAVE:C10 CLAVECURSO:C10 CTAREA:C4"},
        {DIASHORAST,
         "DIHO:C10 CODDIHO:C10 DIA:C20 TEXTODIA:C20 HORA:C8 TEXTOHOR:C8 HORADESDE:C8 "
         "HORAHASTA:C8 MINUTOS:C8"},
        {SOLUC,
         "ASIG:C4 PROF:C4 CODGRUPO:C4 TURNO:C1 NIVEL:C5 CURSO:C3 GRUPO:C1 AULA:C4 TAREA:C4 "
         "DIA:N20,4 HORA:N20,4 SESIONES:N20,4"},
    };
    for (const auto& c : cases) {
        const Table table(c.def);
        EXPECT_EQ(table.name(), c.def.name);
        EXPECT_EQ(layout(table), c.fields) << c.def.name;
        EXPECT_EQ(table.recordCount(), 0u);
        std::size_t length = 1;
        for (const Field& field : table.fields()) {
            EXPECT_EQ(field.offset, length) << c.def.name << "." << field.name;
            length += field.length;
        }
        EXPECT_EQ(table.recordLength(), length) << c.def.name;
    }
}

struct ReadBack {
    const char* what;
    const char* field;
    std::function<void(Table&, std::size_t, std::size_t)> set;
    std::string text;
    std::optional<std::int32_t> integer;
    std::optional<double> number;
};

auto text(std::string value) {
    return [value](Table& t, std::size_t r, std::size_t f) { t.setString(r, f, value); };
}
auto number(double value) {
    return [value](Table& t, std::size_t r, std::size_t f) { t.setFloat(r, f, value); };
}
auto boolean(bool value) {
    return [value](Table& t, std::size_t r, std::size_t f) { t.setBoolean(r, f, value); };
}
const auto unset = [](Table&, std::size_t, std::size_t) {};

TEST(ReadBack, EachKindGivesBackWhatTheCallersRelyOn) {
    const std::string spanish = ansiFromUtf8("Ñú€");
    const ReadBack cases[] = {
        {"text as stored", "T", text("AB"), "AB", std::nullopt, std::nullopt},
        {"leading blanks stay", "T", text("  AB  "), "  AB", std::nullopt, std::nullopt},
        {"longer text cut", "T", text("ABCDEFGH"), "ABCDEF", std::nullopt, std::nullopt},
        {"cut lands on a blank", "T", text("ABCDE FGH"), "ABCDE", std::nullopt, std::nullopt},
        {"8-bit letters kept", "T", text(spanish), spanish, std::nullopt, std::nullopt},
        {"unset text", "T", unset, "", 0, 0.0},
        {"digits in text", "T", text("12"), "12", 12, 12.0},
        {"right-aligned digits in text", "T", text("  -7"), "  -7", -7, -7.0},
        {"whole number", "F", number(3), "3", 3, 3.0},
        {"half", "F", number(1.5), "1.5", 2, 1.5},
        {"rounds down", "F", number(2.4), "2.4", 2, 2.4},
        {"negative half away from zero", "F", number(-2.5), "-2.5", -3, -2.5},
        {"tenth", "F", number(0.1), "0.1", 0, 0.1},
        {"four decimals kept", "F", number(1234.56789), "1234.5679", 1235, 1234.5679},
        {"tiny negative is zero", "F", number(-0.00001), "0", 0, 0.0},
        {"widest float", "F", number(99999999999999.0), "99999999999999", std::nullopt,
         99999999999999.0},
        {"unset number", "F", unset, "0", 0, 0.0},
        {"integer", "N", number(42), "42", 42, 42.0},
        {"integer rounded when stored", "N", number(2.6), "3", 3, 3.0},
        {"widest integer", "N", number(-1234567890), "-1234567890", -1234567890, -1234567890.0},
        {"number given as text", "N", text(" 15 "), "15", 15, 15.0},
        {"blank text unsets a number", "N", text("  "), "0", 0, 0.0},
        {"true", "L", boolean(true), "True", 1, 1.0},
        {"false", "L", boolean(false), "False", 0, 0.0},
        {"unset logical", "L", unset, "", 0, 0.0},
    };
    for (const ReadBack& c : cases) {
        SCOPED_TRACE(c.what);
        Table table(kKinds);
        const std::size_t row = table.append();
        const std::size_t field = table.fieldIndex(c.field);
        c.set(table, row, field);
        EXPECT_EQ(table.asString(row, field), c.text);
        if (c.integer) {
            EXPECT_EQ(table.asInteger(row, field), *c.integer);
        }
        if (c.number) {
            EXPECT_DOUBLE_EQ(table.asFloat(row, field), *c.number);
        }
        EXPECT_EQ(table.record(row).size(), table.recordLength());
    }
}

// Fields as other programs store them, put in as raw record bytes.
TEST(ReadBack, FieldsOfOtherWritersReadByTheirType) {
    const struct {
        const char* what;
        Field field;
        std::string bytes;
        std::string text;
        std::int32_t integer;
    } cases[] = {
        {"binary integer", {"I", 'I', 4}, std::string("\xFE\xFF\xFF\xFF", 4), "-2", -2},
        {"binary integer, large",
         {"I", 'I', 4},
         std::string("\x00\x00\x00\x40", 4),
         "1073741824",
         1073741824},
        {"date as text", {"D", 'D', 8}, "20240315", "20240315", 20240315},
        {"float type with exponent", {"F", 'F', 9}, "  1.5E+01", "15", 15},
        {"numeric with sign", {"N", 'N', 5}, "  +12", "12", 12},
        {"numeric filled with NULs", {"N", 'N', 3}, std::string(3, '\0'), "0", 0},
        {"text filled with NULs", {"C", 'C', 4}, std::string("12\0\0", 4), "12", 12},
        {"text field holding a whole day", {"C", 'C', 3}, "3  ", "3", 3},
        {"unknown type read as text", {"M", 'M', 10}, "        12", "        12", 12},
        {"logical lower-case yes", {"L", 'L', 1}, "y", "True", 1},
        {"logical uninitialised", {"L", 'L', 1}, "?", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Table table("OTRA", {c.field});
        table.appendRecord(" " + c.bytes);
        EXPECT_EQ(table.asString(0, 0), c.text);
        EXPECT_EQ(table.asInteger(0, 0), c.integer);
    }
}

void expectError(const std::function<void()>& action, std::initializer_list<std::string> parts) {
    try {
        action();
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        for (const std::string& part : parts)
            EXPECT_NE(std::string(error.what()).find(part), std::string::npos)
                << "«" << error.what() << "» lacks «" << part << "»";
    }
}

TEST(ReadBack, WrongUseAndJunkEndInErrorsNamingFieldAndTable) {
    Table table(kKinds);
    const std::size_t row = table.append();
    const std::size_t t = 0, n = 1, f = 2, l = 3;
    const struct {
        const char* what;
        std::function<void()> action;
        std::initializer_list<std::string> parts;
    } cases[] = {
        {"integer too wide",
         [&] { table.setFloat(row, n, 1e11); },
         {"100000000000", "N", "PRUEBA"}},
        {"float too wide", [&] { table.setFloat(row, f, 1e15); }, {"F", "PRUEBA"}},
        {"not a number", [&] { table.setFloat(row, f, std::nan("")); }, {"F", "PRUEBA"}},
        {"infinite", [&] { table.setFloat(row, f, HUGE_VAL); }, {"F", "PRUEBA"}},
        {"number into text", [&] { table.setFloat(row, t, 1); }, {"campo T", "PRUEBA"}},
        {"logical into number", [&] { table.setBoolean(row, n, true); }, {"campo N", "PRUEBA"}},
        {"text into logical", [&] { table.setString(row, l, "T"); }, {"campo L", "PRUEBA"}},
        {"junk text into number", [&] { table.setString(row, n, "1,5"); }, {"1,5", "campo N"}},
        {"no such field", [&] { table.fieldIndex("DIA"); }, {"DIA", "PRUEBA"}},
        {"no such row", [&] { table.asString(5, t); }, {"PRUEBA"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        expectError(c.action, c.parts);
    }
    Table blank(kKinds);
    blank.append();
    EXPECT_EQ(table.record(row), blank.record(0)) << "a refused value leaves the row as it was";
}

TEST(ReadBack, JunkStoredInAFileEndsInAnErrorNamingFieldAndTable) {
    const struct {
        const char* what;
        Field field;
        std::string bytes;
        bool asText;  // asString fails too, not only the number
    } cases[] = {
        {"letters in a number", {"DIA", 'N', 5}, "  abc", true},
        {"overflow stars", {"DIA", 'N', 5}, "*****", true},
        {"decimal comma", {"DIA", 'N', 5}, "  1,5", true},
        {"infinity spelled out", {"DIA", 'F', 5}, "  inf", true},
        {"bad logical", {"DIA", 'L', 1}, "X", true},
        {"fraction in a text field", {"DIA", 'C', 5}, "1.5  ", false},
        {"word in a text field", {"DIA", 'C', 5}, "lunes", false},
        {"number beyond an integer", {"DIA", 'N', 11}, "30000000000", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Table table("SOLUC", {c.field});
        table.appendRecord(" " + c.bytes);
        expectError([&] { table.asInteger(0, 0); }, {"DIA", "SOLUC"});
        if (c.asText) {
            expectError([&] { table.asString(0, 0); }, {"DIA", "SOLUC"});
        }
    }
}

TEST(ReadBack, FieldsAreFoundWhateverTheirLetterCase) {
    const Table table(SOLUC);
    EXPECT_EQ(table.fieldIndex("dia"), table.fieldIndex("DIA"));
    EXPECT_EQ(table.fieldIndex("CodGrupo"), 2u);
}

TEST(StoredText, IsTheTextCutToTheWidthWithoutTrailingBlanks) {
    const struct {
        const char* text;
        std::size_t width;
        const char* stored;
    } cases[] = {
        {"LENGUA", 4, "LENG"}, {"AB  ", 4, "AB"}, {" A", 4, " A"},
        {"ABC D", 4, "ABC"},   {"", 4, ""},       {"ABCD", 4, "ABCD"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(storedText(c.text, c.width), c.stored) << c.text;
        // The same as the table gives back.
        Table table("X", {{"C", 'C', static_cast<std::uint8_t>(c.width)}});
        table.setString(table.append(), 0, c.text);
        EXPECT_EQ(table.asString(0, 0), c.stored) << c.text;
    }
}

}  // namespace
}  // namespace toa::tables
