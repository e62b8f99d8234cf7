#include "platform/paths.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include "platform/error.h"
#include "tests/platform/scratch.h"

namespace toa {
namespace {

namespace fs = std::filesystem;
using testing::ScopedVariable;

class WinePrefix : public testing::ScratchFolder {
  protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        prefix_.emplace("WINEPREFIX", root_.string());
        drive_ = root_ / "drive_c";
        for (const char* file : {"XTEMP/ASIGNOMT.DBF", "tbhelp/ardel.CHM", "Dup/DUP.TXT",
                                 "Dup/Dup.txt", "Dup/dUP.txt", "Año/a.xml", "Ωx/f"})
            write(drive_ / file, "x");
    }
    void TearDown() override {
        prefix_.reset();
        ScratchFolder::TearDown();
    }
    std::optional<ScopedVariable> prefix_;
    fs::path drive_;
};

struct MappedCase {
    const char* windows;
    const char* local;  // below the prefix
};

TEST_F(WinePrefix, WindowsPathsReachWhatExistsWhateverTheLetterCase) {
    const MappedCase cases[] = {
        {"C:\\XTEMP", "drive_c/XTEMP"},
        {"c:\\xtemp", "drive_c/XTEMP"},
        {"c:/xtemp/asignomt.dbf", "drive_c/XTEMP/ASIGNOMT.DBF"},
        // A table not written yet is created with the spelling the program gives.
        {"c:\\xtemp\\ASIGNOMT2.DBF", "drive_c/XTEMP/ASIGNOMT2.DBF"},
        // A missing folder keeps its spelling, and so does everything after it.
        {"c:\\xtemp\\ardel\\Doc.XML", "drive_c/XTEMP/ardel/Doc.XML"},
        // The root of the current drive is drive C:.
        {"\\TBHELP\\ARDEL.chm", "drive_c/tbhelp/ardel.CHM"},
        {"C:\\\\XTEMP\\", "drive_c/XTEMP"},
        {"C:", "drive_c"},
        {"C:\\XTEMP\\..\\..\\.\\TBHELP", "drive_c/tbhelp"},
        // Of several spellings the exact one wins, else the first in byte order.
        {"C:\\Dup\\dUP.txt", "drive_c/Dup/dUP.txt"},
        {"C:\\Dup\\dup.TXT", "drive_c/Dup/DUP.TXT"},
        // Letters of the code page fold too (names on disk are UTF-8).
        {"C:\\AÑO\\A.XML", "drive_c/Año/a.xml"},
        // A name the code page cannot hold matches only its own spelling.
        {"C:\\ωX", "drive_c/ωX"},
        // Another drive goes through Wine's drive links, whether or not Wine has one.
        {"d:\\Datos\\x.xml", "dosdevices/d:/Datos/x.xml"},
    };
    for (const auto& c : cases) EXPECT_EQ(mapWindowsPath(c.windows), root_ / c.local) << c.windows;
}

TEST_F(WinePrefix, UserPathsMapOnlyTheWindowsForm) {
    EXPECT_EQ(userPath("c:\\XTEMP\\ardel\\doc.xml"), drive_ / "XTEMP/ardel/doc.xml");
    EXPECT_EQ(userPath("/srv/Ardel/Doc.XML"), fs::path("/srv/Ardel/Doc.XML"));
    EXPECT_EQ(userPath("datos/doc.xml"), fs::path("datos/doc.xml"));
}

TEST(WindowsPath, RecognisesDriveAndRootForms) {
    const std::pair<const char*, bool> cases[] = {
        {"C:\\XTEMP", true}, {"c:/xtemp", true}, {"C:", true},     {"\\TBHELP", true},
        {"/tmp/x", false},   {"C:XTEMP", false}, {"1:\\x", false}, {"", false},
        {"doc.xml", false},  {"ñ:\\x", false},
    };
    for (const auto& [path, expected] : cases) EXPECT_EQ(isWindowsPath(path), expected) << path;
}

TEST(DriveRoot, PrefixThenHomeThenPasswordEntry) {
    {
        ScopedVariable prefix("WINEPREFIX", "/opt/vino");
        EXPECT_EQ(driveRoot(), fs::path("/opt/vino/drive_c"));
    }
    ScopedVariable prefix("WINEPREFIX", std::nullopt);
    {
        ScopedVariable home("HOME", "/home/ana");
        EXPECT_EQ(driveRoot(), fs::path("/home/ana/.wine/drive_c"));
    }
    ScopedVariable home("HOME", std::nullopt);
    EXPECT_EQ(driveRoot(), fs::path(::getpwuid(::getuid())->pw_dir) / ".wine/drive_c");
}

TEST_F(WinePrefix, TablesFolderIsFoundAndNeverCreated) {
    EXPECT_EQ(tablesFolder(), drive_ / "XTEMP");
    const auto expectMissing = [&] {
        try {
            tablesFolder();
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()),
                      "No existe la carpeta C:\\XTEMP (" + (drive_ / "XTEMP").string() + ")");
        }
    };
    fs::remove_all(drive_ / "XTEMP");
    expectMissing();
    EXPECT_FALSE(fs::exists(drive_ / "XTEMP"));
    write(drive_ / "XTEMP", "a file where the folder should be");
    expectMissing();
}

}  // namespace
}  // namespace toa
