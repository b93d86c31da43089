#include "TempDir.h"
#include "TestScopes.h"

#include "ini/IniFile.h"
#include "location/DataRootDiscovery.h"
#include "platform/Registry.h"

#include <gtest/gtest.h>

using namespace vrelmont;
using vrelmont::test::Native;
using vrelmont::test::Sep;
using vrelmont::test::TempDir;
using vrelmont::test::WriteBytes;

namespace {

// A host installation under a temporary "Program Files" folder.
class DataRootDiscovery : public ::testing::Test {
protected:
    void SetUp() override {
        programFiles = dir.file("Program Files");
        std::filesystem::create_directories(programFiles + "/CIGLER SOFTWARE/Common Files");
        std::filesystem::create_directories(dir.file("Money/Data"));
        setupIni = programFiles + "/CIGLER SOFTWARE/Common Files/setup.ini";
        useRegistryValue(programFiles);
    }
    void useRegistryValue(std::optional<std::string> value) {
        registry.use([value, this](const std::string &key, const std::string &name) {
            askedKey = key;
            askedName = name;
            return value;
        });
    }

    vrelmont::test::RegistryReaderScope registry;
    TempDir dir;
    std::string programFiles, setupIni, askedKey, askedName;
};

TEST_F(DataRootDiscovery, FollowsRegistrySetupIniAndMons3Ini) {
    IniFile(setupIni).PutText("InstParams", "LocalPath", dir.file("Money"));
    IniFile(dir.file("Money/mons3.ini")).PutText("Directory", "DataRoot", dir.file("Money/Data"));
    EXPECT_EQ(DiscoverDataRoot(), dir.file("Money/Data") + Sep()) << "trailing separator added";
    EXPECT_EQ(askedKey, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
    EXPECT_EQ(askedName, "ProgramFilesDir");

    // The same with separators already in place: no second one.
    useRegistryValue(programFiles + Sep());
    IniFile(setupIni).PutText("InstParams", "LocalPath", dir.file("Money") + Sep());
    IniFile(dir.file("Money/mons3.ini")).PutText("Directory", "DataRoot", dir.file("Money/Data") + Sep());
    EXPECT_EQ(FindHostSetupIni(), Native(setupIni));
    EXPECT_EQ(DiscoverDataRoot(), dir.file("Money/Data") + Sep());
}

TEST_F(DataRootDiscovery, EveryBrokenLinkEndsSilently) {
    EXPECT_EQ(DiscoverDataRoot(), "") << "no setup.ini";

    std::filesystem::create_directory(setupIni);
    EXPECT_EQ(FindHostSetupIni(), "") << "a directory named setup.ini is no file";
    std::filesystem::remove(setupIni);

    IniFile(setupIni).PutText("InstParams", "LocalPath", dir.file("Money"));
    EXPECT_EQ(DiscoverDataRoot(), "") << "no mons3.ini";

    IniFile(dir.file("Money/mons3.ini")).PutText("Directory", "DataRoot", dir.file("Money/Missing"));
    EXPECT_EQ(DiscoverDataRoot(), "") << "DataRoot does not exist";

    WriteBytes(dir.file("Money/afile"), "x");
    IniFile(dir.file("Money/mons3.ini")).PutText("Directory", "DataRoot", dir.file("Money/afile"));
    EXPECT_EQ(DiscoverDataRoot(), "") << "DataRoot names a file";
}

TEST_F(DataRootDiscovery, AnEmptyDataRootMeansTheRoot) {
    IniFile(setupIni).PutText("InstParams", "LocalPath", dir.file("Money"));
    IniFile(dir.file("Money/mons3.ini")).PutText("Directory", "Other", "x");
    EXPECT_EQ(DiscoverDataRoot(), Sep());
}

TEST_F(DataRootDiscovery, WithoutARegistryValueTheCandidateStandsAtTheRoot) {
    useRegistryValue(std::nullopt);
    EXPECT_EQ(QueryProgramFilesDir(), "");
    EXPECT_EQ(FindHostSetupIni(), "");
#ifndef _WIN32
    registry.use({});
    EXPECT_EQ(QueryProgramFilesDir(), "") << "this platform has no registry";
#endif
}

} // namespace
