// Folders and files named as a Czech bookkeeper names them (C:\Účetnictví\DATA\AGENDA.001), and
// names that Windows would read as other ones. Under Wine these reach the Windows halves of the
// platform layer; the host's engine is tried too when its class is registered.
#include "FakeRunHost.h"
#include "TempDir.h"

#include "checks/CheckRun.h"
#include "checks/ProtocolFile.h"
#include "ini/IniFile.h"
#include "location/AgendaListing.h"
#include "platform/FileAccess.h"
#include "platform/Utf8Path.h"
#include "settings/TS3IniFile.h"
#include "tablefiles/TableFiles.h"
#include "wiring/EngineChoice.h"
#include "writer/RecordWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace vrelmont;
using vrelmont::test::Sep;
using vrelmont::test::TempDir;
using vrelmont::testing::FakeRunHost;

namespace {

const std::string kDuplicateLine = "Nalezena duplicitní skladová zásoba č. 5 ve skladu č. 1";
const std::string kMissingCardLine = "Ke skladové zásobě č. 8 neexistuje kmenová karta.";

class CzechPaths : public ::testing::Test {
protected:
    CzechPaths()
        : dataRoot(temp.dir() + "Účetnictví" + Sep() + "Skladové zásoby" + Sep()),
          agendaDir(dataRoot + "AGENDA.001" + Sep()) {
        std::filesystem::create_directories(PathFromUtf8(agendaDir));
        CreateTableFile(agendaDir + "SKSEZZAS.DAT", StockItemsTable());
        CreateTableFile(agendaDir + "SKKMKART.DAT", MasterCardsTable());
        RecordWriter stock(agendaDir + "SKSEZZAS.DAT", StockItemsTable());
        stock.append({1, 5, "", "", "", "", "Šroub M6"});
        stock.append({1, 5, "", "", "", "", "Šroub M6 pozinkovaný"});
        stock.append({2, 8, "", "", "", "", "Matice"});
        stock.commit();
        RecordWriter cards(agendaDir + "SKKMKART.DAT", MasterCardsTable());
        cards.append({5, "", "", "", "", "Šroub M6"});
        cards.commit();
        IniFile(agendaDir + "AGENDA.INI").PutText("Údaje o firmě", "Název-obchodní", "Železářství Čápová");
    }

    // The report of checks 1 and 2 over `dir` through the engine chosen now.
    std::vector<std::string> report(const std::string &dir, bool &completed, std::string &openError) {
        FakeRunHost host;
        host.tickOnly({1, 2});
        TBFTable walkTable, lookupTable;
        completed = RunChecks(host, {dir, "Železářství Čápová", "14.05.2024"}, walkTable, lookupTable);
        openError = walkTable.lastOpenError();
        return host.lines;
    }

    static bool contains(const std::vector<std::string> &lines, const std::string &line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    TempDir temp;
    const std::string dataRoot;
    const std::string agendaDir;
};

TEST(Utf8Path, TextsRoundTripAndNoTextThrows) {
    const std::string czech = "C:\\Účetnictví\\Skladové zásoby\\AGENDA.001";
    EXPECT_EQ(Utf8FromPath(PathFromUtf8(czech)), czech);
    EXPECT_NO_THROW(PathFromUtf8("bad \xFF byte"));
#ifdef _WIN32
    EXPECT_EQ(PathFromUtf8("Účet").native(), std::wstring(L"\u00DA\u010Det"));
    // A file name may hold a lone surrogate, which no UTF-8 text can.
    EXPECT_EQ(Utf8FromPath(std::filesystem::path(std::wstring(L"a\xD800"))), "a\xEF\xBF\xBD");
#endif
}

TEST_F(CzechPaths, TheAgendaIsListedNamedAndCheckedThroughEitherEngine) {
    EXPECT_EQ(ListAgendaDirs(dataRoot), std::vector<std::string>{NormalizeDirPath(dataRoot + "AGENDA.001")});
    EXPECT_EQ(TS3IniFile(agendaDir + "AGENDA.INI").GetText("Údaje o firmě", "Název-obchodní", ""),
              "Železářství Čápová");
    EXPECT_EQ(ExamineFile(agendaDir + "SKSEZZAS.DAT"), FileKind::Regular);

    bool completed = false;
    std::string openError;
    const std::vector<std::string> files = report(agendaDir, completed, openError);
    EXPECT_TRUE(completed) << openError;
    EXPECT_TRUE(contains(files, kDuplicateLine)) << ::testing::PrintToString(files);
    EXPECT_TRUE(contains(files, kMissingCardLine)) << ::testing::PrintToString(files);

    if (IsHostEngineRegistered()) {
        UseEngine(EngineKind::Host);
        const std::vector<std::string> host = report(agendaDir, completed, openError);
        UseEngine(EngineKind::Files);
        EXPECT_TRUE(completed) << openError;
        EXPECT_EQ(host, files);
    }
}

TEST_F(CzechPaths, AProtocolAndSettingsAreSavedUnderCzechNames) {
    const std::string protocol = dataRoot + "Protokol účtárny.txt";
    const std::vector<std::string> lines{"Kontrola existence kmenových karet:", kMissingCardLine};
    WriteProtocolFile(protocol, lines);
    std::string reason;
    FileKind kind = FileKind::Missing;
    EXPECT_EQ(ReadBoundedFile(protocol, 1000, reason, kind), ProtocolFileBytes(lines)) << reason;
    EXPECT_FALSE(IsWriteProtected(protocol));
    // Saved again: the new file replaces the old one in the Czech-named folder.
    WriteProtocolFile(protocol, {kDuplicateLine});
    EXPECT_EQ(ReadBoundedFile(protocol, 1000, reason, kind), ProtocolFileBytes({kDuplicateLine})) << reason;

    const std::string settings = dataRoot + "Nastavení.ini";
    IniFile(settings).PutText("PATH", "MoneyDataRoot", dataRoot);
    EXPECT_EQ(IniFile(settings).GetText("PATH", "MoneyDataRoot", ""), dataRoot);
    EXPECT_EQ(Utf8FromPath(PathFromUtf8(settings)), settings);
}

TEST_F(CzechPaths, ANameThatWindowsWouldShortenIsNeverReadAsAnother) {
    const std::string blank = dataRoot + "AGENDA.001 " + Sep();
    const std::string dot = dataRoot + "AGENDA.001." + Sep();
#ifdef _WIN32
    EXPECT_NE(AmbiguousPathReason("C:\\Účetnictví\\AGENDA.001 ").find("končí mezerou"), std::string::npos);
    EXPECT_NE(AmbiguousPathReason("C:\\Účetnictví.\\AGENDA.001\\").find("končí tečkou"), std::string::npos);
    EXPECT_EQ(AmbiguousPathReason("C:\\Účetnictví\\..\\.\\AGENDA.001\\"), "");
    EXPECT_EQ(AmbiguousPathReason("\\\\?\\C:\\AGENDA.001 "), "") << "the long form is taken as it is";
    EXPECT_EQ(ExamineFile(blank + "SKSEZZAS.DAT"), FileKind::AmbiguousName);
    // Such folders come from other systems or the long form of a path: the listing leaves them out.
    const std::wstring longForm = L"\\\\?\\" + std::filesystem::absolute(PathFromUtf8(dataRoot)).native();
    std::filesystem::create_directory(longForm + L"AGENDA.002 ");
    std::filesystem::create_directory(longForm + L"AGENDA.003.");
    std::vector<std::string> made;
    for (const auto &entry : std::filesystem::directory_iterator(PathFromUtf8(dataRoot)))
        made.push_back(Utf8FromPath(entry.path().filename()));
    std::sort(made.begin(), made.end());
    EXPECT_EQ(made, (std::vector<std::string>{"AGENDA.001", "AGENDA.002 ", "AGENDA.003."}));
    EXPECT_EQ(ListAgendaDirs(dataRoot), std::vector<std::string>{NormalizeDirPath(dataRoot + "AGENDA.001")});
    // Only the long form reaches them: the temporary folder's removal could not.
    std::error_code ignored;
    std::filesystem::remove(longForm + L"AGENDA.002 ", ignored);
    std::filesystem::remove(longForm + L"AGENDA.003.", ignored);
#else
    EXPECT_EQ(AmbiguousPathReason(blank), "") << "only Windows shortens names";
#endif
    for (const std::string &dir : {blank, dot}) {
        bool completed = true;
        std::string openError;
        const std::vector<std::string> lines = report(dir, completed, openError);
        EXPECT_FALSE(completed) << dir;
        EXPECT_FALSE(contains(lines, kDuplicateLine)) << dir << " read AGENDA.001";
        if (IsHostEngineRegistered()) {
            UseEngine(EngineKind::Host);
            const std::vector<std::string> host = report(dir, completed, openError);
            UseEngine(EngineKind::Files);
            EXPECT_FALSE(completed) << dir;
            EXPECT_FALSE(contains(host, kDuplicateLine)) << dir << " read AGENDA.001 through the engine";
            EXPECT_NE(openError.find("Windows"), std::string::npos) << openError;
        }
    }
}

} // namespace
