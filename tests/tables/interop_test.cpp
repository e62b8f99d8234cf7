#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/ansi.h"
#include "tables/dbase_file.h"
#include "tables/definitions.h"
#include "tests/platform/scratch.h"

// Our tables against the Python dBase libraries that CI installs: what we write, dbfread reads
// the same; what python3-dbf writes, we read the same.
namespace toa::tables {
namespace {

namespace fs = std::filesystem;

std::string script(const char* name) {
    return std::string(TOA_PYTHON) + " " + TOA_SOURCE_DIR + "/tests/tables/" + name;
}

std::string output(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::string out;
    char buffer[4096];
    while (std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe.get()))
        out.append(buffer, got);
    return out;
}

const std::string kSpanish = " Ñandú €uro ÁÉÍÓÚ áéíóú üÜ ¿¡ ñ ç Œ š end";

class Interoperability : public toa::testing::ScratchFolder {};

TEST_F(Interoperability, DbfreadReadsOurTablesAsWeWroteThem) {
    const TableDef* defs[] = {&ASIGNOMT, &ASIGNOMT2, &PROFT,      &AULAT, &CURSOST,
                              &GRUPOST,  &ASIGT,     &DIASHORAST, &SOLUC};
    std::string command = script("dbfread_dump.py");
    std::string expected;
    for (const TableDef* def : defs) {
        // One row with a value in every field, one left unset.
        Table table(*def);
        const std::size_t full = table.append();
        table.append();
        std::string fields;
        std::string values;
        std::string unset;
        for (std::size_t f = 0; f < def->fields.size(); ++f) {
            const Field& layout = table.fields()[f];
            fields += "FIELD " + layout.name + " " + layout.type + " " +
                      std::to_string(layout.length) + " " + std::to_string(layout.decimals) + "\n";
            const char* separator = f ? "|" : "";
            switch (def->fields[f].kind) {
                case FieldKind::Text:
                    table.setString(full, f, ansiFromUtf8(kSpanish));
                    values +=
                        separator + utf8FromAnsi(storedText(ansiFromUtf8(kSpanish), layout.length));
                    unset += separator;
                    break;
                case FieldKind::Logical:
                    table.setBoolean(full, f, false);
                    values += separator + std::string("False");
                    unset += separator + std::string("None");
                    break;
                case FieldKind::Integer:
                    table.setFloat(full, f, -2147483647);
                    values += separator + std::string("-2147483647");
                    unset += separator + std::string("None");
                    break;
                case FieldKind::Float:
                    table.setFloat(full, f, 12.3456);
                    values += separator + std::string("12.3456");
                    unset += separator + std::string("None");
                    break;
            }
        }
        expected += "TABLE " + std::string(def->name) + " DRIVER 3\n" + fields + "ROW " + values +
                    "\nROW " + unset + "\n";
        replaceTable(root_, table);
        command += " " + (root_ / (std::string(def->name) + ".DBF")).string();
    }
    EXPECT_EQ(output(command), expected);
}

TEST_F(Interoperability, WeReadTheTablesThatPythonDbfWrites) {
    ASSERT_EQ(std::system((script("dbf_write.py") + " " + root_.string()).c_str()), 0);

    const Table db3 = readDbfFile(root_ / "DB3.DBF");
    ASSERT_EQ(db3.recordCount(), 2u) << "the deleted row is skipped";
    const struct {
        std::size_t row;
        const char* field;
        std::string text;
        std::int32_t integer;
    } cells[] = {
        {0, "COD", ansiFromUtf8("AÑ€"), 0},
        {0, "DIA", "3", 3},
        {0, "HORA", "1.5", 2},
        {0, "ACTIVO", "True", 1},
        {0, "FECHA", "20240315", 20240315},
        {1, "COD", ansiFromUtf8("ñá Ç"), 0},
        {1, "DIA", "0", 0},
        {1, "HORA", "0", 0},
        {1, "ACTIVO", "", 0},
        {1, "FECHA", "", 0},
    };
    for (const auto& c : cells) {
        SCOPED_TRACE(std::string(c.field) + " of row " + std::to_string(c.row));
        const std::size_t field = db3.fieldIndex(c.field);
        EXPECT_EQ(db3.asString(c.row, field), c.text);
        if (db3.fields()[field].type != 'C') {
            EXPECT_EQ(db3.asInteger(c.row, field), c.integer);
        }
    }

    const Table vfp = readDbfFile(root_ / "VFP.DBF");
    ASSERT_EQ(vfp.recordCount(), 2u);
    EXPECT_EQ(vfp.asString(0, vfp.fieldIndex("COD")), ansiFromUtf8("Ü€"));
    EXPECT_EQ(vfp.asInteger(0, vfp.fieldIndex("NUM")), -2);
    EXPECT_EQ(vfp.asString(0, vfp.fieldIndex("DIA")), "2.5");
    EXPECT_EQ(vfp.asString(1, vfp.fieldIndex("COD")), "");
    EXPECT_EQ(vfp.asInteger(1, vfp.fieldIndex("NUM")), 70000);
    EXPECT_EQ(vfp.asInteger(1, vfp.fieldIndex("DIA")), 0);
}

}  // namespace
}  // namespace toa::tables
