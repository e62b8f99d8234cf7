#include "platform/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/error.h"

namespace toa {
namespace {

namespace fs = std::filesystem;

class AtomicFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("toa-atomic-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    static std::string read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
    }
    fs::path dir_;
};

TEST_F(AtomicFile, CreatesAndReplaces) {
    const auto target = dir_ / "T.DBF";
    writeFileAtomically(target, [](std::ostream& out) { out << "old"; });
    writeFileAtomically(target, [](std::ostream& out) { out << "new content"; });
    EXPECT_EQ(read(target), "new content");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(AtomicFile, AFailingWriterLeavesTheOldFileAndNoTemporary) {
    const auto target = dir_ / "T.DBF";
    writeFileAtomically(target, [](std::ostream& out) { out << "old"; });
    EXPECT_THROW(writeFileAtomically(target,
                                     [](std::ostream& out) {
                                         out << "half";
                                         throw Error("fallo a medias");
                                     }),
                 Error);
    EXPECT_EQ(read(target), "old");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(AtomicFile, FilesReplacedTogetherChangeNoneWhenOneFailsToWrite) {
    writeFileAtomically(dir_ / "A.DBF", [](std::ostream& out) { out << "old A"; });
    writeFileAtomically(dir_ / "B.DBF", [](std::ostream& out) { out << "old B"; });
    {
        AtomicReplacement both;
        both.stage(dir_ / "A.DBF", [](std::ostream& out) { out << "new A"; });
        EXPECT_THROW(both.stage(dir_ / "B.DBF",
                                [](std::ostream& out) {
                                    out << "half";
                                    throw Error("disco lleno");
                                }),
                     Error);
    }
    EXPECT_EQ(read(dir_ / "A.DBF"), "old A");
    EXPECT_EQ(read(dir_ / "B.DBF"), "old B");
    EXPECT_EQ(entries(), 2u);

    AtomicReplacement both;
    both.stage(dir_ / "A.DBF", [](std::ostream& out) { out << "new A"; });
    both.stage(dir_ / "B.DBF", [](std::ostream& out) { out << "new B"; });
    EXPECT_EQ(read(dir_ / "A.DBF"), "old A");  // nothing replaced before the commit
    both.commit();
    EXPECT_EQ(read(dir_ / "A.DBF"), "new A");
    EXPECT_EQ(read(dir_ / "B.DBF"), "new B");
    EXPECT_EQ(entries(), 2u);
}

TEST_F(AtomicFile, TheNextWriteRemovesWhatAKilledOneLeftBehind) {
    const auto target = dir_ / "T.DBF";
    std::ofstream(dir_ / ".T.DBF.123.tmp") << "left by a killed run";
    std::ofstream(dir_ / ".OTRA.DBF.123.tmp") << "another table's";
    writeFileAtomically(target, [](std::ostream& out) { out << "new"; });
    EXPECT_FALSE(fs::exists(dir_ / ".T.DBF.123.tmp"));
    EXPECT_TRUE(fs::exists(dir_ / ".OTRA.DBF.123.tmp"));
}

TEST_F(AtomicFile, AFolderThatCannotHoldTheFileIsAnErrorNamingIt) {
    // A plain file where the folder should be: refused even to root, unlike permissions.
    writeFileAtomically(dir_ / "XTEMP", [](std::ostream& out) { out << "not a folder"; });
    try {
        writeFileAtomically(dir_ / "XTEMP" / "T.DBF", [](std::ostream& out) { out << "x"; });
        FAIL();
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("T.DBF"), std::string::npos) << e.what();
    }
    EXPECT_EQ(entries(), 1u);
}

}  // namespace
}  // namespace toa
