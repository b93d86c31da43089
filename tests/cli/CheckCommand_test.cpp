// vrelmont-cli check, run as a separate program.
#include "DataToolsRun.h"
#include "TestAgenda.h"

#include "checks/ProtocolFile.h"
#include "platform/DateText.h"

#include <clocale>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

using namespace vrelmont;
using namespace vrelmont::testing;
using Lines = std::vector<std::string>;

namespace {

struct Outcome {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

std::string Quoted(const std::string &arg) {
    std::string quoted = "'";
    for (const char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class CheckCommand : public ::testing::Test {
protected:
    Outcome cli(const Lines &args) {
#ifdef _WIN32
        // The table files, also when a COM engine is registered: the messages checked here are theirs.
        Lines withCommand{"check", "--engine", "files"};
        withCommand.insert(withCommand.end(), args.begin(), args.end());
        const auto result = vrelmont::test::RunCli(withCommand);
        return {result.status, result.out, result.err};
#endif
        std::string command = "LC_ALL=C " + Quoted(VRELMONT_CLI_PATH) + " check";
        for (const std::string &arg : args)
            command += " " + Quoted(arg);
        const std::string out = scratch.dir() + "stdout", err = scratch.dir() + "stderr";
        command += " >" + Quoted(out) + " 2>" + Quoted(err) + " </dev/null";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
    }

    static std::string Today() {
#ifdef _WIN32
        return vrelmont::TodayShortDateText(); // the regional settings, not a C locale
#endif
        std::setlocale(LC_TIME, "C");
        const std::time_t now = std::time(nullptr);
        char text[64];
        return std::string(text, std::strftime(text, sizeof text, "%x", std::localtime(&now)));
    }

    TestAgenda agenda;
    TestAgenda scratch; // output files, outside the agenda
};

TEST_F(CheckCommand, DefaultChecksWriteTheReportAndExitZero) {
    agenda.addStockItems({Stock(1, 5), Stock(1, 5).withPopis("")});
    agenda.addCards({Card(5)});
    // The business name, read from the agenda's settings in windows-1250.
    agenda.writeFile("AGENDA.INI", "[\xDA"
                                   "daje o firm\xEC]\r\nN\xE1zev-obchodn\xED=Pila \x8Akoda s.r.o.\r\n");
    const Outcome result = cli({agenda.dir()});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const Lines lines = vrelmont::test::SplitLines(result.out);
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[1], "Vrelmont");
    EXPECT_EQ(lines[2], "Agenda: Pila Škoda s.r.o.");
    EXPECT_EQ(lines[3], "Datum: " + Today());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Nalezena duplicitní skladová zásoba č. 5 ve skladu č. 1"),
              lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Nalezena skladová zásoba č. 5 ve skladu č. 1, která nemá popis"),
              lines.end());
    // Seven checks by default, the closing lines last.
    EXPECT_EQ(std::count(lines.begin(), lines.end(), ""), 14);
    EXPECT_EQ(Lines(lines.end() - 3, lines.end()), (Lines{"==========", "Dokončeno", "=========="}));
}

TEST_F(CheckCommand, ChecksRunInRunOrderWhateverTheListSays) {
    agenda.addStockItems({Stock(1, 1)});
    agenda.addCards({Card(1)});
    const Outcome result = cli({agenda.dir(), "--checks", "15,1"});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    const Lines lines = vrelmont::test::SplitLines(result.out);
    ASSERT_EQ(lines.size(), 5u + 8u + 3u);
    EXPECT_EQ(lines[6], "Kontrola duplicitních skladových zásob:");
    EXPECT_EQ(lines[10], "Hledání skladových zásob bez popisu:");
}

TEST_F(CheckCommand, AgendaWithoutSettingsHasAnEmptyName) {
    agenda.createStockItems();
    const Outcome result = cli({agenda.dir(), "--checks=1"});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(vrelmont::test::SplitLines(result.out)[2], "Agenda: ");
}

TEST_F(CheckCommand, ACheckThatCannotOpenItsTableExitsOne) {
    agenda.createStockItems();
    const Outcome result = cli({agenda.dir(), "--checks", "all"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find("Nelze otevřít seznam kmenových karet."), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("SKKMKART.DAT: soubor neexistuje"), std::string::npos) << "the file and the reason";
    const Lines lines = vrelmont::test::SplitLines(result.out);
    ASSERT_EQ(lines.size(), 5u + 4u + 4u);
    EXPECT_EQ(lines.back(), "");
    EXPECT_EQ(lines[lines.size() - 3], "Kontrola duplicitních kmenových karet:");
}

TEST_F(CheckCommand, OutputFileIsTheSavedProtocol) {
    agenda.addStockItems({Stock(1, 1).withPopis("")});
    agenda.addCards({Card(1)});
    const std::string file = scratch.dir() + "protokol.txt";
    const Outcome result = cli({agenda.dir(), "--output", file});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(ReadFile(file), ProtocolFileBytes(vrelmont::test::SplitLines(result.out)));
    EXPECT_NE(
        ReadFile(file).find("Nalezena skladov\xE1 z\xE1soba \xE8. 1 ve skladu \xE8. 1, kter\xE1 nem\xE1 popis\r\n"),
        std::string::npos);
}

TEST_F(CheckCommand, UnwritableOutputFileExitsThree) {
    agenda.addStockItems({Stock(1, 1)});
    agenda.addCards({Card(1)});
    const std::string file = scratch.dir() + "no/such/dir.txt";
    const Outcome result = cli({agenda.dir(), "--output", file});
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_NE(result.err.find("Nelze zapsat soubor " + file), std::string::npos) << result.err;
}

TEST_F(CheckCommand, WrongUsageExitsTwo) {
    for (const Lines &args : {Lines{}, Lines{agenda.dir(), agenda.dir()}, Lines{agenda.dir(), "--checks", "16"},
                              Lines{agenda.dir(), "--checks", "0"}, Lines{agenda.dir(), "--checks", "1,,2"},
                              Lines{agenda.dir(), "--checks", ""}, Lines{agenda.dir(), "--checks", "first"},
                              Lines{agenda.dir(), "--checks"}, Lines{agenda.dir(), "--verbose"}}) {
        const Outcome result = cli(args);
        EXPECT_EQ(result.exitStatus, 2) << ::testing::PrintToString(args);
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err, "");
    }
    const Outcome help = cli({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.out.find("vrelmont-cli check AGENDA_DIR"), std::string::npos);
}

TEST_F(CheckCommand, MissingDirectoryExitsThree) {
    const Outcome result = cli({agenda.dir() + "nothing-here"});
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_NE(result.err.find("nothing-here"), std::string::npos);
    EXPECT_EQ(result.out, "");
}

TEST_F(CheckCommand, EngineErrorExitsThreeWithItsMessage) {
    agenda.addStockItems({Stock(1, 1), Stock(1, 2)});
    agenda.execSql("SKSEZZAS", "UPDATE SKSEZZAS SET Cislo = 'abc' WHERE Cislo = 2");
    agenda.createCards();
    const Outcome result = cli({agenda.dir(), "--checks", "2"});
    EXPECT_EQ(result.exitStatus, 3);
    EXPECT_NE(result.err.find("abc"), std::string::npos) << result.err;
}

} // namespace

namespace {

// The directory is the one named, blanks included; its sibling without the blank is never checked.
TEST_F(CheckCommand, APathIsTakenAsGivenBlanksIncluded) {
    TestAgenda root;
    const std::string plain = root.dir() + "AGENDA.001", blank = root.dir() + "AGENDA.001 ";
    std::filesystem::create_directory(plain);
    CreateTableFile(plain + "/SKKMKART.DAT", MasterCardsTable());
    const Outcome missing = cli({blank, "--checks", "3"});
    EXPECT_EQ(missing.exitStatus, 3);
    EXPECT_NE(missing.err.find("AGENDA.001 "), std::string::npos) << missing.err;
    EXPECT_EQ(missing.out, "");
#ifdef _WIN32
    // Windows would read AGENDA.001 for it: refused before anything is read.
    EXPECT_NE(missing.err.find("nelze číst tak, jak je zadána: název \"AGENDA.001 \" končí mezerou"), std::string::npos)
        << missing.err;
    return;
#endif

    std::filesystem::create_directory(blank);
    const Outcome noTable = cli({blank, "--checks", "3"});
    EXPECT_EQ(noTable.exitStatus, 1) << "the directory with the blank has no table";
    EXPECT_NE(noTable.err.find(blank + "/SKKMKART.DAT: soubor neexistuje"), std::string::npos) << noTable.err;
}

} // namespace
