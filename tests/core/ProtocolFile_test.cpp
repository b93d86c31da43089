#include "checks/ProtocolFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace vrelmont;
namespace fs = std::filesystem;

namespace {

class ProtocolFile : public ::testing::Test {
protected:
    ProtocolFile() {
        std::string pattern = (fs::temp_directory_path() / "vrelmont-protocol-XXXXXX").string();
        dir_ = mkdtemp(pattern.data());
    }
    ~ProtocolFile() override { fs::remove_all(dir_); }

    std::string path(const std::string &name) const { return (dir_ / name).string(); }

    static std::string read(const std::string &file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    std::size_t entries() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {})); }

    fs::path dir_;
};

TEST_F(ProtocolFile, CzechTextIsWindows1250WithCrLfAfterEveryLine) {
    const std::string file = path("protokol.txt");
    WriteProtocolFile(file, {"Přerušit", "", "Dokončeno čár. kód"});
    EXPECT_EQ(read(file), "P\xF8"
                          "eru\x9Ait\r\n\r\nDokon\xE8"
                          "eno \xE8\xE1r. k\xF3"
                          "d\r\n");
}

TEST_F(ProtocolFile, TextOutsideTheCodePageIsWrittenAsUtf8WithAByteOrderMark) {
    EXPECT_EQ(ProtocolFileBytes({"čár", "日本 ø"}), "\xEF\xBB\xBF"
                                                    "čár\r\n日本 ø\r\n");
    EXPECT_EQ(ProtocolFileBytes({}), "");
}

TEST_F(ProtocolFile, ReplacesAnExistingFileAndLeavesNothingBeside) {
    const std::string file = path("p.txt");
    std::ofstream(file) << std::string(1000, 'x');
    WriteProtocolFile(file, {"a"});
    EXPECT_EQ(read(file), "a\r\n");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(ProtocolFile, SavingThroughALinkReplacesTheLinkedFile) {
    const std::string target = path("target.txt");
    std::ofstream(target) << "old";
    std::error_code error;
    fs::create_symlink(target, path("link.txt"), error);
    if (error)
        GTEST_SKIP() << "no symbolic links here (Windows grants them only to administrators): " << error.message();
    WriteProtocolFile(path("link.txt"), {"new"});
    EXPECT_TRUE(fs::is_symlink(path("link.txt")));
    EXPECT_EQ(read(target), "new\r\n");
}

TEST_F(ProtocolFile, UnwritablePathNamesTheFile) {
    const std::string file = path("missing/p.txt");
    try {
        WriteProtocolFile(file, {"a"});
        FAIL() << "no error";
    } catch (const std::runtime_error &error) {
        EXPECT_EQ(std::string(error.what()), "Nelze zapsat soubor " + file);
    }
    // A directory of that name stays as it was.
    fs::create_directory(path("dir.txt"));
    EXPECT_THROW(WriteProtocolFile(path("dir.txt"), {"a"}), std::runtime_error);
    EXPECT_TRUE(fs::is_directory(path("dir.txt")));
    EXPECT_EQ(entries(), 1u);
}

} // namespace
