// The host's COM engine backend, against our test engine (registered by scripts/test-windows.sh).
#include <gtest/gtest.h>

#ifdef _WIN32
#include "TestAgenda.h"
#include "engine/EngineError.h"
#include "engine/TBFTable.h"
#include "location/EngineTest.h"
#include "platform/WideText.h"
#include "platform/windows/HostEngine.h"
#include "settings/TS3IniFile.h"
#include "wiring/EngineChoice.h"

#include <windows.h>

#include <cstdlib>
#include <functional>
#include <optional>

using namespace vrelmont;
using vrelmont::testing::Card;
using vrelmont::testing::Stock;
using vrelmont::testing::TestAgenda;

namespace {

// The test engine answers this GUID with the serial number of the object that answers.
constexpr const char *kObjectSerialGuid = "{0D6A3E51-7C2B-4E8A-9F10-5B3C2A1D9E77}";

class HostEngine : public ::testing::Test {
protected:
    void SetUp() override {
        if (!IsHostEngineClassRegistered())
            GTEST_SKIP() << "the test engine is not registered; scripts/test-windows.sh registers it";
        UseEngine(EngineKind::Host);
    }
    void TearDown() override {
        _putenv_s("VRELMONT_TEST_ENGINE_FAIL", "");
        _putenv_s("VRELMONT_TEST_ENGINE_REFUSE_DEFAULT", "");
        _putenv_s("VRELMONT_TEST_ENGINE_PROPERTIES", "");
        _putenv_s("VRELMONT_TEST_ENGINE_ANSWERS", "");
        _putenv_s("VRELMONT_TEST_ENGINE_ENDLESS", "");
        _putenv_s("VRELMONT_TEST_ENGINE_ERROR_OBJECT", "");
        _putenv_s("VRELMONT_TEST_ENGINE_NO_ERROR_INFO", "");
        UseEngine(EngineKind::Files);
    }

    static std::string errorOf(const std::function<void()> &call) {
        try {
            call();
        } catch (const EngineError &error) {
            return error.what();
        }
        return "(no error)";
    }
};

TEST_F(HostEngine, TheEngineTestOfTheDataDirectoryWindowPassesThroughCom) {
    TBFTable walkTable;
    EXPECT_EQ(RunEngineTest(walkTable), std::nullopt);
    EXPECT_TRUE(walkTable.isConnected());
}

TEST_F(HostEngine, ComponentsAttachToARunningObjectElseMakeTheirOwn) {
    {
        TBFTable first, second;
        const std::string own = first.QueryGuid(kObjectSerialGuid);
        EXPECT_EQ(own.rfind("object ", 0), 0u) << own;
        EXPECT_NE(second.QueryGuid(kObjectSerialGuid), own) << "no running object: each component makes one";
        first.CloseTable();
        EXPECT_EQ(first.QueryGuid(kObjectSerialGuid), own) << "closing keeps the object";
    }
    // Another program's engine object, entered in the running object table.
    CLSID classId{};
    ASSERT_EQ(CLSIDFromString(kHostEngineClassId, &classId), S_OK);
    IUnknown *running = nullptr;
    ASSERT_EQ(
        CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void **>(&running)),
        S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(RegisterActiveObject(running, classId, ACTIVEOBJECT_STRONG, &cookie), S_OK);
    {
        TBFTable first, second;
        const std::string shared = first.QueryGuid(kObjectSerialGuid);
        EXPECT_EQ(second.QueryGuid(kObjectSerialGuid), shared) << "both attached to the running object";
    }
    RevokeActiveObject(cookie, nullptr);
    running->Release();
}

TEST_F(HostEngine, TablesReadThroughComAsThroughTheFiles) {
    TestAgenda agenda;
    agenda.addStockItems({Stock(2, 7).withPopis("Žluťoučký kůň"), Stock(1, 9).withPlu("P1"), Stock(1, 3)});
    TBFTable table;
    ASSERT_EQ(table.OpenTable(Variant::text(agenda.dir() + "SKSEZZAS")), 0);
    ASSERT_EQ(table.SetIndex("Sklad+Cislo"), 0);
    EXPECT_EQ(table.RecordCount(), 3);
    table.GoTop();
    std::vector<std::string> walked;
    do
        walked.push_back(table.Value("Sklad").toText() + "/" + std::to_string(table.Value("Cislo").toInt32()) + "/" +
                         table.Value("Popis").toText());
    while (table.MoveNext() != kAnswerNoFurtherRecord);
    EXPECT_EQ(walked, (std::vector<std::string>{"1/3/popis", "1/9/popis", "2/7/Žluťoučký kůň"}));
    EXPECT_EQ(table.SeekKey(Variant::int32(2)), kAnswerFound);
    EXPECT_EQ(table.Value("Popis").toText(), "Žluťoučký kůň");
    EXPECT_NE(table.SetIndex("Neexistuje"), 0);
    EXPECT_NE(table.OpenTable(Variant::text(agenda.dir() + "CHYBI")), 0);
}

TEST_F(HostEngine, OperationsWithoutArgumentsMayBeProperties) {
    _putenv_s("VRELMONT_TEST_ENGINE_PROPERTIES", "1");
    TestAgenda agenda;
    agenda.addStockItems({Stock(1, 9), Stock(1, 3)});
    TBFTable table;
    ASSERT_EQ(table.OpenTable(Variant::text(agenda.dir() + "SKSEZZAS")), 0);
    ASSERT_EQ(table.SetIndex("Sklad+Cislo"), 0);
    EXPECT_EQ(table.RecordCount(), 2);
    table.GoTop();
    EXPECT_EQ(table.Value("Cislo").toInt32(), 3);
    EXPECT_EQ(table.MoveNext(), 0);
    EXPECT_EQ(table.MoveNext(), kAnswerNoFurtherRecord);
    table.CloseTable();
}

TEST_F(HostEngine, AnswersAreNumbersOfAnyNumericTypeAndNothingElse) {
    TestAgenda agenda;
    agenda.addStockItems({Stock(1, 9), Stock(1, 3)});
    for (const char *type : {"I2", "R8", "BSTR"}) {
        _putenv_s("VRELMONT_TEST_ENGINE_ANSWERS", type);
        TBFTable table;
        ASSERT_EQ(table.OpenTable(Variant::text(agenda.dir() + "SKSEZZAS")), 0) << type;
        EXPECT_EQ(table.RecordCount(), 2) << type;
        table.GoTop();
        EXPECT_EQ(table.MoveNext(), 0) << type;
        EXPECT_EQ(table.MoveNext(), kAnswerNoFurtherRecord) << type;
    }
    // Nothing, or a truth value, would read as 0 (another record) or 1: a walk that never ends, or a wrong one.
    for (const char *type : {"EMPTY", "BOOL"}) {
        _putenv_s("VRELMONT_TEST_ENGINE_ANSWERS", "");
        TBFTable table;
        ASSERT_EQ(table.OpenTable(Variant::text(agenda.dir() + "SKSEZZAS")), 0);
        _putenv_s("VRELMONT_TEST_ENGINE_ANSWERS", type);
        EXPECT_EQ(errorOf([&] { table.GoTop(); }),
                  std::string("Databázový stroj odpověděl na GoTop hodnotou typu VT_") + type + " místo čísla");
    }
}

TEST_F(HostEngine, AWalkThatNeverEndsIsStoppedAndSaysWhy) {
    TestAgenda agenda;
    agenda.addStockItems({Stock(1, 9), Stock(1, 3)});
    TBFTable table;
    const std::string path = agenda.dir() + "SKSEZZAS";
    ASSERT_EQ(table.OpenTable(Variant::text(path)), 0);
    ASSERT_EQ(table.SetIndex("Sklad+Cislo"), 0);
    _putenv_s("VRELMONT_TEST_ENGINE_ENDLESS", "1");
    table.GoTop();
    int steps = 0;
    const std::string error = errorOf([&] {
        while (table.MoveNext() != kAnswerNoFurtherRecord && steps < 100'000)
            ++steps;
    });
    EXPECT_EQ(steps, 4 * 2 + 1000);
    EXPECT_EQ(error, "Tabulka " + path +
                         ": databázový stroj nehlásí konec tabulky – procházení prošlo 1008 záznamů, víc než "
                         "čtyřnásobek jejich počtu, a bylo zastaveno");
    // A new walk starts counting again.
    _putenv_s("VRELMONT_TEST_ENGINE_ENDLESS", "");
    table.GoTop();
    EXPECT_EQ(table.MoveNext(), 0);
    EXPECT_EQ(table.MoveNext(), kAnswerNoFurtherRecord);
}

TEST_F(HostEngine, TheSettingsStoreReadsItsTableThroughCom) {
    TestAgenda agenda;
    agenda.createCards();
    CreateTableFile(agenda.dir() + "AGENDA.DAT", SettingsTable());
    TS3IniFile(agenda.dir() + "AGENDA.INI").PutText("Údaje o firmě", "Název-obchodní", "Pekárna Čápová");
    EXPECT_EQ(TS3IniFile(agenda.dir() + "AGENDA.INI").GetText("Údaje o firmě", "Název-obchodní", ""), "Pekárna Čápová");
}

TEST_F(HostEngine, AFailingCallRaisesTheEngineDescriptionLessItsFullStop) {
    _putenv_s("VRELMONT_TEST_ENGINE_FAIL", "SetIndex:Index Sklad+Cislo je poškozen.");
    TestAgenda agenda;
    agenda.createStockItems();
    TBFTable table;
    ASSERT_EQ(table.OpenTable(Variant::text(agenda.dir() + "SKSEZZAS")), 0);
    EXPECT_EQ(errorOf([&] { table.SetIndex("Sklad+Cislo"); }), "Index Sklad+Cislo je poškozen");
}

TEST_F(HostEngine, AnErrorObjectIsShownOnlyWhenTheObjectGivesThem) {
    TestAgenda agenda;
    agenda.addStockItems({Stock(1, 3)});
    TBFTable table;
    ASSERT_EQ(table.OpenTable(Variant::text(agenda.dir() + "SKSEZZAS")), 0);
    _putenv_s("VRELMONT_TEST_ENGINE_ERROR_OBJECT", "SetIndex:Index Sklad+Cislo je poškozen.");
    EXPECT_EQ(errorOf([&] { table.SetIndex("Sklad+Cislo"); }), "Index Sklad+Cislo je poškozen");
    // An object that does not say it gives error objects: the one on the thread is stale.
    _putenv_s("VRELMONT_TEST_ENGINE_NO_ERROR_INFO", "1");
    const std::string error = errorOf([&] { table.SetIndex("Sklad+Cislo"); });
    EXPECT_EQ(error.find("poškozen"), std::string::npos) << error;
    EXPECT_NE(error, "(no error)");
}

TEST_F(HostEngine, TheEngineTestShowsAFailingQueryGuid) {
    _putenv_s("VRELMONT_TEST_ENGINE_FAIL", "QueryGuid:Neznámé rozhraní!");
    TBFTable walkTable;
    EXPECT_EQ(RunEngineTest(walkTable), std::optional<std::string>("Neznámé rozhraní"));
}

TEST_F(HostEngine, AnObjectWithoutTheDefaultInterfaceIsRefused) {
    _putenv_s("VRELMONT_TEST_ENGINE_REFUSE_DEFAULT", "1");
    TBFTable walkTable;
    EXPECT_EQ(RunEngineTest(walkTable), std::optional<std::string>("Interface not supported"));
}

TEST_F(HostEngine, AClassThatIsNotRegisteredGivesTheSystemText) {
    const std::string text = errorOf([] { MakeHostTableBackendOfClass(L"{6B29FC40-CA47-1067-B31D-00DD010662DA}"); });
    wchar_t *buffer = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   static_cast<DWORD>(REGDB_E_CLASSNOTREG), 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    // Without a system text for the code (Wine has none), the error names the code.
    const std::string system = buffer ? EngineError(Utf8FromWide(std::wstring(buffer))).what() : "OLE error 80040154";
    if (buffer)
        LocalFree(buffer);
    EXPECT_EQ(text, system);
}

} // namespace

#else

TEST(HostEngine, OnlyOnWindows) {
    GTEST_SKIP() << "the host's engine is a Windows COM server";
}

#endif
