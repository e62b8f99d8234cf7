#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include "platform/error.h"
#include "tests/platform/scratch.h"

namespace toa {
namespace {

namespace fs = std::filesystem;

struct IniCase {
    const char* name;
    std::optional<std::string> before;  // nullopt: no file yet
    const char* value;
    std::string after;
};

class IniFile : public testing::ScratchFolder {
  protected:
    fs::path file() const { return root_ / "Tabuleo.ini"; }
    void expectRefused(const fs::path& target, const char* value = "1") {
        try {
            writeProfileString(target, "Transformadores", "Transformado", value);
            ADD_FAILURE() << "no error for " << target;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), "Unable to write to " + target.string());
        }
    }
};

TEST_F(IniFile, WritesTheResultAndKeepsEveryOtherByte) {
    const IniCase cases[] = {
        {"missing file, created as Windows writes it", std::nullopt, "1",
         "[Transformadores]\r\nTransformado=1\r\n"},
        {"empty file", "", "-1", "[Transformadores]\r\nTransformado=-1\r\n"},
        {"value replaced, comments, blank lines, 8-bit text and other sections kept",
         "; Configuraci\xF3n\r\n[Rutas]\r\nDatos=C:\\XTEMP\r\n\r\n[Transformadores]\r\n"
         "Transformado=0\r\nOtro=2\r\n\r\n[Final]\r\nA=b\r\n",
         "1",
         "; Configuraci\xF3n\r\n[Rutas]\r\nDatos=C:\\XTEMP\r\n\r\n[Transformadores]\r\n"
         "Transformado=1\r\nOtro=2\r\n\r\n[Final]\r\nA=b\r\n"},
        {"section and key in other letter case and with blanks, LF kept",
         "[ transformadores ]\n  TRANSFORMADO = 0\n", "-1",
         "[ transformadores ]\n  TRANSFORMADO =-1\n"},
        {"the same key in another section is not the one",
         "[Otra]\nTransformado=5\n"
         "[Transformadores]\nTransformado=0\n",
         "1", "[Otra]\nTransformado=5\n[Transformadores]\nTransformado=1\n"},
        {"a commented key is not the key; the key joins its section after its last line",
         "[Transformadores]\r\n;Transformado=0\r\nOtro=2\r\n\r\n[Final]\r\nA=b\r\n", "1",
         "[Transformadores]\r\n;Transformado=0\r\nOtro=2\r\nTransformado=1\r\n\r\n[Final]\r\nA="
         "b\r\n"},
        {"a bare key gets its value", "[Transformadores]\nTransformado\n", "0",
         "[Transformadores]\nTransformado=0\n"},
        {"last line without an ending keeps none", "[Transformadores]\r\nTransformado=0", "1",
         "[Transformadores]\r\nTransformado=1"},
        {"section header as the last line without an ending", "[Transformadores]", "1",
         "[Transformadores]\r\nTransformado=1\r\n"},
        {"missing section appended after a blank line, in the file's LF style", "[Otra]\nClave=x",
         "1", "[Otra]\nClave=x\n\n[Transformadores]\nTransformado=1\n"},
        {"missing section after a file that ends in a blank line", "[Otra]\r\nClave=x\r\n\r\n", "1",
         "[Otra]\r\nClave=x\r\n\r\n[Transformadores]\r\nTransformado=1\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(file());
        if (c.before) write(file(), *c.before);
        writeProfileString(file(), "Transformadores", "Transformado", c.value);
        EXPECT_EQ(read(file()), c.after);
    }
}

TEST_F(IniFile, AFileThatCannotBeWrittenIsRefusedUnchanged) {
    // A plain file where the folder should be: refused even to root, unlike permissions.
    write(root_ / "bin", "not a folder");
    expectRefused(root_ / "bin" / "Tabuleo.ini");
    fs::create_directories(file());
    expectRefused(file());
    fs::remove(file());

    // A line break in the value would add lines of its own to the file.
    write(file(), "[Transformadores]\r\nTransformado=0\r\n");
    expectRefused(file(), "1\r\n[Otra]");
    EXPECT_EQ(read(file()), "[Transformadores]\r\nTransformado=0\r\n");
}

}  // namespace
}  // namespace toa
