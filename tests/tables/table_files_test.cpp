#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "platform/error.h"
#include "platform/paths.h"
#include "tables/dbase_file.h"
#include "tables/definitions.h"
#include "tables/table_component.h"
#include "tests/platform/scratch.h"

namespace toa::tables {
namespace {

namespace fs = std::filesystem;

std::set<std::string> entries(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

Table subjects(std::initializer_list<const char*> codes) {
    Table table(ASIGNOMT);
    for (const char* code : codes) table.setString(table.append(), 0, code);
    return table;
}

std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.what();
    }
    return "(no error)";
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class ReplaceTable : public toa::testing::ScratchFolder {};

TEST_F(ReplaceTable, ReplacesTheFileWindowsWouldOpenAndDeletesEveryStaleIndex) {
    const struct {
        const char* what;
        std::set<std::string> before;
        std::set<std::string> after;
        const char* replaced;
    } cases[] = {
        {"first run", {}, {"ASIGNOMT.DBF"}, "ASIGNOMT.DBF"},
        {"spelling of the existing file kept",
         {"asignomt.dbf", "ASIGNOMT.MDX", "asignomt.mdx", "PROFT.MDX", "PROFT.DBF"},
         {"asignomt.dbf", "PROFT.MDX", "PROFT.DBF"},
         "asignomt.dbf"},
        {"stale index without its table", {"Asignomt.Mdx"}, {"ASIGNOMT.DBF"}, "ASIGNOMT.DBF"},
        {"exact spelling wins",
         {"ASIGNOMT.DBF", "asignomt.dbf"},
         {"ASIGNOMT.DBF", "asignomt.dbf"},
         "ASIGNOMT.DBF"},
    };
    const std::string old = "old";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path folder = root_ / c.what;
        fs::create_directories(folder);
        for (const std::string& name : c.before) write(folder / name, old);
        const Table table = subjects({"LENG", "MATE"});
        replaceTable(folder, table);
        EXPECT_EQ(entries(folder), c.after) << "no temporary file left either";
        const Table back = readDbfFile(folder / c.replaced);
        ASSERT_EQ(back.recordCount(), 2u);
        EXPECT_EQ(back.asString(1, 0), "MATE");
        for (const std::string& name : c.after) {
            if (name != c.replaced) {
                EXPECT_EQ(read(folder / name), old) << name;
            }
        }
    }
}

TEST_F(ReplaceTable, AFailedWriteLeavesTheOldTableAsItWas) {
    replaceTable(root_, subjects({"LENG"}));
    const std::string before = read(root_ / "ASIGNOMT.DBF");
    Table unwritable("ASIGNOMT", {{"NOMBRE_LARGO", 'C', 4}});
    EXPECT_TRUE(has(errorOf([&] { replaceTable(root_, unwritable); }), "ASIGNOMT"));
    EXPECT_EQ(read(root_ / "ASIGNOMT.DBF"), before);
    EXPECT_EQ(entries(root_), std::set<std::string>{"ASIGNOMT.DBF"});
}

TEST_F(ReplaceTable, AMissingFolderIsAnErrorNamingIt) {
    const std::string message = errorOf([&] { replaceTable(root_ / "XTEMP", subjects({})); });
    EXPECT_TRUE(has(message, (root_ / "XTEMP").string())) << message;
}

// The window's table components, over a drive C: inside the scratch folder.
class Components : public toa::testing::ScratchFolder {
  protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        prefix_.emplace("WINEPREFIX", (root_ / "wine").string());
        folder_ = root_ / "wine" / "drive_c" / "XTemp";
        fs::create_directories(folder_);
    }
    void TearDown() override {
        prefix_.reset();
        ScratchFolder::TearDown();
    }

    // A timetable solution: teacher, subject, day and slot of each session.
    void writeSolution() {
        Table soluc(SOLUC);
        const struct {
            const char* prof;
            const char* asig;
            double dia;
            double hora;
        } rows[] = {{"AB'C", "MAT", 3, 5},
                    {"XY", "LEN", 0, 1},
                    {"AB'C", "FIS", 2.5, 12},
                    {"ab'c", "QUI", 1, 1}};
        for (const auto& r : rows) {
            const std::size_t row = soluc.append();
            soluc.setString(row, soluc.fieldIndex("PROF"), r.prof);
            soluc.setString(row, soluc.fieldIndex("ASIG"), r.asig);
            soluc.setFloat(row, soluc.fieldIndex("DIA"), r.dia);
            soluc.setFloat(row, soluc.fieldIndex("HORA"), r.hora);
        }
        replaceTable(folder_, soluc);
        fs::rename(folder_ / "SOLUC.DBF", folder_ / "Soluc.dbf");
    }

    static std::string walk(TableComponent& table) {
        std::string seen;
        for (table.first(); !table.eof(); table.next()) seen += table.fieldAsString("ASIG") + " ";
        return seen;
    }

    std::optional<toa::testing::ScopedVariable> prefix_;
    fs::path folder_;
};

TEST_F(Components, WalkAndFilterTheRowsOfTheTable) {
    writeSolution();
    TableComponent soluc(std::string(kTablesFolderLower), "SOLUC");
    EXPECT_FALSE(soluc.active());
    soluc.open();
    soluc.open();  // no further effect
    ASSERT_TRUE(soluc.active());
    EXPECT_EQ(soluc.fieldAsString("ASIG"), "MAT") << "opening stands on the first row";
    EXPECT_EQ(soluc.recordCount(), 4u);
    EXPECT_EQ(walk(soluc), "MAT LEN FIS QUI ");
    EXPECT_EQ(soluc.fieldAsString("ASIG"), "QUI") << "the last row stays current at the end";
    soluc.next();
    EXPECT_TRUE(soluc.eof());

    soluc.setFilter("PROF", "AB'C");
    EXPECT_FALSE(soluc.eof());
    EXPECT_EQ(soluc.currentRow(), 0u);
    EXPECT_EQ(walk(soluc), "MAT FIS ") << "exact, letter case included";
    soluc.first();
    soluc.next();
    EXPECT_EQ(soluc.fieldAsString("DIA"), "2.5");
    EXPECT_EQ(soluc.fieldAsInteger("DIA"), 3);
    EXPECT_EQ(soluc.fieldAsInteger("HORA"), 12);
    EXPECT_EQ(soluc.recordCount(), 4u) << "all rows, whatever the filter";

    soluc.setFilter("PROF", "ZZ");
    EXPECT_TRUE(soluc.eof()) << "no visible row: at the end at once";
    EXPECT_EQ(soluc.fieldAsString("ASIG"), "");
    EXPECT_EQ(soluc.fieldAsInteger("DIA"), 0);
    EXPECT_TRUE(has(errorOf([&] { soluc.currentRow(); }), "SOLUC"));
    EXPECT_TRUE(has(errorOf([&] { soluc.fieldAsString("NOPE"); }), "NOPE"));

    soluc.clearFilter();
    EXPECT_EQ(walk(soluc), "MAT LEN FIS QUI ");

    const std::string missing = errorOf([&] { soluc.setFilter("PROFE", "X"); });
    EXPECT_TRUE(has(missing, "PROFE") && has(missing, "SOLUC")) << missing;

    soluc.close();
    EXPECT_FALSE(soluc.active());
    EXPECT_TRUE(has(errorOf([&] { soluc.first(); }), "SOLUC"));
    soluc.open();  // every later run finds it usable again
    EXPECT_EQ(walk(soluc), "MAT LEN FIS QUI ");
}

TEST_F(Components, AMissingTableIsAnErrorNamingTableAndPath) {
    TableComponent soluc(std::string(kTablesFolderLower), "SOLUC");
    const std::string message = errorOf([&] { soluc.open(); });
    EXPECT_TRUE(has(message, "SOLUC") && has(message, (folder_ / "SOLUC.DBF").string())) << message;
    EXPECT_FALSE(soluc.active());
}

TEST_F(Components, ADayStoredAsTextReadsAsAnIntegerOrEndsInAClearError) {
    Table soluc("SOLUC", {{"PROF", 'C', 4}, {"DIA", 'C', 3}});
    for (const char* day : {"3", " 12", "x"}) soluc.setString(soluc.append(), 1, day);
    replaceTable(folder_, soluc);
    TableComponent component(std::string(kTablesFolderLower), "SOLUC");
    component.open();
    EXPECT_EQ(component.fieldAsInteger("DIA"), 3);
    component.next();
    EXPECT_EQ(component.fieldAsInteger("DIA"), 12);
    component.next();
    const std::string message = errorOf([&] { component.fieldAsInteger("DIA"); });
    EXPECT_TRUE(has(message, "DIA") && has(message, "SOLUC") && has(message, "'x'")) << message;
}

TEST_F(Components, ABrokenFileIsAnErrorNamingItAndLeavesTheComponentClosed) {
    write(folder_ / "SOLUC.DBF", "not a table");
    TableComponent soluc(std::string(kTablesFolderLower), "SOLUC");
    const std::string message = errorOf([&] { soluc.open(); });
    EXPECT_TRUE(has(message, (folder_ / "SOLUC.DBF").string())) << message;
    EXPECT_FALSE(soluc.active());
    replaceTable(folder_, Table(SOLUC));  // the failed open holds nothing
}

TEST_F(Components, AnOpenTableIsHeldForExclusiveUseInsideTheProcess) {
    writeSolution();
    TableComponent first(std::string(kTablesFolderLower), "SOLUC");
    TableComponent second(std::string(kTablesFolderLower), "SOLUC");
    first.open();
    EXPECT_TRUE(has(errorOf([&] { second.open(); }), "La tabla SOLUC está en uso"));
    EXPECT_TRUE(has(errorOf([&] { replaceTable(folder_, Table(SOLUC)); }), "en uso"));
    first.close();
    second.open();
}

TEST_F(Components, AnotherProcessCannotHaveATableThatIsOpen) {
    writeSolution();
    const std::string before = read(folder_ / "Soluc.dbf");
    int ready[2];
    int done[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(done), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        char state = 'n';
        try {
            TableComponent soluc(std::string(kTablesFolderLower), "SOLUC");
            soluc.open();
            state = 'y';
            (void)!::write(ready[1], &state, 1);
            (void)!::read(done[0], &state, 1);
        } catch (...) {
            (void)!::write(ready[1], &state, 1);
        }
        ::_exit(0);
    }
    char state = 0;
    ASSERT_EQ(::read(ready[0], &state, 1), 1);
    EXPECT_EQ(state, 'y') << "the other process opened the table";

    TableComponent soluc(std::string(kTablesFolderLower), "SOLUC");
    const std::string message = errorOf([&] { soluc.open(); });
    EXPECT_TRUE(has(message, "La tabla SOLUC está en uso por otro programa")) << message;
    EXPECT_TRUE(has(errorOf([&] { replaceTable(folder_, Table(SOLUC)); }), "en uso"));
    EXPECT_EQ(read(folder_ / "Soluc.dbf"), before) << "a table in use is not replaced";

    ASSERT_EQ(::write(done[1], "x", 1), 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    for (int fd : {ready[0], ready[1], done[0], done[1]}) ::close(fd);
    soluc.open();
    EXPECT_EQ(soluc.recordCount(), 4u);
}

}  // namespace
}  // namespace toa::tables
