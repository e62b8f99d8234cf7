#include "platform/help.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/error.h"
#include "tests/platform/scratch.h"

namespace toa {
namespace {

namespace fs = std::filesystem;
using testing::ScopedVariable;

// A stand-in viewer that records its arguments, one a line, in `record`.
std::string recordingViewer(const fs::path& record) {
    return "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + record.string() + ".part'\n/bin/mv '" +
           record.string() + ".part' '" + record.string() + "'\n";
}

class Help : public testing::ScratchFolder {
  protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        prefix_.emplace("WINEPREFIX", root_.string());
        bin_ = root_ / "bin";
        fs::create_directories(bin_);
        path_.emplace("PATH", bin_.string());
        viewer_.emplace("TOA_HELP_VIEWER", std::nullopt);
        helpFile_ = root_ / "drive_c/tbhelp/Ardel.CHM";
        write(helpFile_, "ITSF");
    }
    void TearDown() override {
        viewer_.reset();
        path_.reset();
        prefix_.reset();
        ScratchFolder::TearDown();
    }
    fs::path installViewer(const std::string& name) {
        const fs::path program = bin_ / name;
        write(program, recordingViewer(record()));
        fs::permissions(program, fs::perms::owner_all);
        return program;
    }
    fs::path record() const { return root_ / "arguments"; }
    // The viewer runs detached: wait a while for what it records.
    std::vector<std::string> recordedArguments() const {
        for (int i = 0; i < 500 && !fs::exists(record()); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::vector<std::string> lines;
        std::string text = read(record());
        for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
             start = end + 1)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
    void expectError(const std::string& message) {
        try {
            showHelpContext(kHelpFile, kHelpContext);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
    }

    std::optional<ScopedVariable> prefix_, path_, viewer_;
    fs::path bin_, helpFile_;
};

struct ViewerCase {
    const char* name;
    const char* installed;  // program put on the PATH
    bool chosen;            // named by TOA_HELP_VIEWER
    bool context;           // topic 3, else the contents
    bool takesContext;      // the viewer is told the topic
};

TEST_F(Help, StartsTheViewerDetachedWithTheMappedFile) {
    const ViewerCase cases[] = {
        {"chosen viewer, contents", "visor", true, false, false},
        {"chosen viewer, topic", "visor", true, true, true},
        {"xchm on the path, topic", "xchm", false, true, true},
        {"xchm on the path, contents", "xchm", false, false, false},
        {"only the desktop's opener, topic shows the file", "xdg-open", false, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(bin_);
        fs::remove(record());
        const fs::path program = installViewer(c.installed);
        std::optional<ScopedVariable> chosen;
        if (c.chosen) chosen.emplace("TOA_HELP_VIEWER", program.string());
        if (c.context)
            showHelpContext(kHelpFile, kHelpContext);
        else
            showHelpContents(kHelpFile);

        std::vector<std::string> expected;
        if (c.takesContext) expected = {"-c", "3"};
        expected.push_back(helpFile_.string());
        EXPECT_EQ(recordedArguments(), expected);
        // Nothing is left for this process to reap: no zombie.
        EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
        EXPECT_EQ(errno, ECHILD);
    }
}

TEST_F(Help, MissingFileOrViewerOrAFailedStartIsAnError) {
    installViewer("xchm");
    fs::remove(helpFile_);
    expectError("No se encuentra el archivo de ayuda \\TBHELP\\ARDEL.chm (" +
                (root_ / "drive_c/tbhelp/ARDEL.chm").string() + ")");

    write(helpFile_, "ITSF");
    fs::remove_all(bin_);
    expectError("No hay ningún visor de ayuda instalado (xchm)");
    {
        ScopedVariable chosen("TOA_HELP_VIEWER", (bin_ / "visor").string());
        expectError("No hay ningún visor de ayuda instalado (" + (bin_ / "visor").string() + ")");
    }
    EXPECT_FALSE(fs::exists(record()));

    // A viewer that cannot start is reported, not taken for started.
    write(bin_ / "xchm", "#!/nonexistent/sh\n");
    fs::permissions(bin_ / "xchm", fs::perms::owner_all);
    expectError("No se pudo iniciar el visor de ayuda " + (bin_ / "xchm").string() +
                ": No such file or directory");
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
}

}  // namespace
}  // namespace toa
