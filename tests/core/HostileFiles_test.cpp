// Files that are not what their names promise: a FIFO, a device, a directory, a link to /dev/zero,
// a dangling link, a huge file, a file without write permission. Nothing waits, nothing reads
// without bound, nothing read-only is replaced, and the reasons are told apart.
#include "TempDir.h"

#include "checks/ProtocolFile.h"
#include "engine/TBFTable.h"
#include "ini/IniFile.h"
#include "location/AgendaListing.h"
#include "platform/FileAccess.h"
#include "settings/ProgramSettings.h"
#include "tablefiles/TableFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

using namespace vrelmont;
using vrelmont::test::Promptly;
using vrelmont::test::ReadBytes;
using vrelmont::test::TempDir;
using vrelmont::test::WriteBytes;
namespace fs = std::filesystem;

namespace {

// Each kind of impostor at `path`; `make` is called again for each after the previous one is removed.
enum class Impostor { Fifo, DevZeroLink, Directory, DanglingLink, Huge };

void Make(Impostor kind, const std::string &path) {
    fs::remove_all(path);
    switch (kind) {
    case Impostor::Fifo:
        ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
        break;
    case Impostor::DevZeroLink:
        fs::create_symlink("/dev/zero", path);
        break;
    case Impostor::Directory:
        fs::create_directory(path);
        break;
    case Impostor::DanglingLink:
        fs::create_symlink(path + ".nowhere", path);
        break;
    case Impostor::Huge:
        WriteBytes(path, "[Údaje o firmě]\r\nNázev-obchodní=Obří s.r.o.\r\n" + std::string(3 << 20, ';'));
        break;
    }
}

#ifdef _WIN32
// Windows has no FIFOs and no /dev/zero, and makes links only with a privilege.
const Impostor kAllImpostors[] = {Impostor::Directory, Impostor::Huge};
#else
const Impostor kAllImpostors[] = {Impostor::Fifo, Impostor::DevZeroLink, Impostor::Directory, Impostor::DanglingLink,
                                  Impostor::Huge};
#endif

TEST(HostileFiles, AgendaSettingsThatAreNoFileGiveAnEmptyNameAtOnce) {
    TempDir root;
    const std::string agenda = root.dir() + "AGENDA.001/";
    fs::create_directory(agenda);
    for (const auto kind : kAllImpostors) {
        Make(kind, agenda + "AGENDA.INI");
        EXPECT_EQ(Promptly([&] { return ReadAgendaName(agenda); }), "") << int(kind);
        fs::remove_all(agenda + "AGENDA.INI");
        if (kind == Impostor::Huge)
            continue;
        Make(kind, agenda + "AGENDA.DAT");
        EXPECT_EQ(Promptly([&] { return ReadAgendaName(agenda); }), "") << int(kind);
        fs::remove_all(agenda + "AGENDA.DAT");
    }
}

// The program's own settings and the host's setup.ini and mons3.ini are all read as INI files.
TEST(HostileFiles, IniFilesThatAreNoFileReadAsDefaultsAndAreNotReplaced) {
    TempDir dir;
    const std::string path = dir.file("Vrelmont.ini");
    for (const auto kind : kAllImpostors) {
        Make(kind, path);
        const auto settings = Promptly([&] { return LoadProgramSettings(path); });
        EXPECT_EQ(settings.moneyDataRoot, "") << int(kind);
        EXPECT_EQ(Promptly([&] { return IniFile(path).GetText("Údaje o firmě", "Název-obchodní", "-"); }), "-");
        const std::string before = kind == Impostor::Huge ? ReadBytes(path) : std::string();
        EXPECT_THROW(SaveProgramSettings(path, "/data/", SelectedChecks::defaults()), IniWriteError) << int(kind);
        if (kind == Impostor::Huge) {
            EXPECT_EQ(ReadBytes(path), before) << "the huge file keeps its content";
        }
    }
    fs::remove_all(path);
}

TEST(HostileFiles, ReadOnlyFilesAreNotReplaced) {
    TempDir dir;
    const auto readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    const std::string settings = dir.file("Vrelmont.ini");
    WriteBytes(settings, "[PATH]\r\nMoneyDataRoot=/old/\r\n");
    fs::permissions(settings, readOnly);
    try {
        SaveProgramSettings(settings, "/new/", SelectedChecks::defaults());
        FAIL() << "a read-only settings file was written";
    } catch (const IniWriteError &e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + settings);
    }
    EXPECT_EQ(ReadBytes(settings), "[PATH]\r\nMoneyDataRoot=/old/\r\n");
    EXPECT_EQ(fs::status(settings).permissions(), readOnly);

    const std::string protocol = dir.file("protokol.txt");
    WriteBytes(protocol, "starý protokol");
    fs::permissions(protocol, readOnly);
    EXPECT_THROW(WriteProtocolFile(protocol, {"nový"}), std::runtime_error);
    EXPECT_EQ(ReadBytes(protocol), "starý protokol");
    const auto listing = std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator());
    EXPECT_EQ(listing, 2) << "nothing is left beside them";
}

TEST(HostileFiles, ATableThatIsNoFileSaysWhatItIs) {
    TempDir dir;
    const std::string path = dir.file("SKSEZZAS.DAT");
    const struct {
        Impostor kind;
        std::string reason;
    } cases[] = {
#ifndef _WIN32
        {Impostor::Fifo, "není to soubor, ale roura (FIFO)"},
        {Impostor::DevZeroLink, "není to soubor, ale zařízení"},
#endif
        {Impostor::Directory, "není to soubor, ale adresář"},
#ifndef _WIN32
        {Impostor::DanglingLink, "odkaz vede na soubor, který neexistuje"},
#endif
    };
    TBFTable table;
    for (const auto &c : cases) {
        Make(c.kind, path);
        EXPECT_NE(Promptly([&] { return table.OpenTable(Variant::text(dir.dir() + "SKSEZZAS")); }), 0);
        EXPECT_EQ(table.lastOpenError(), path + ": " + c.reason);
    }
    fs::remove_all(path);
    EXPECT_NE(table.OpenTable(Variant::text(dir.dir() + "SKSEZZAS")), 0);
    EXPECT_EQ(table.lastOpenError(), path + ": soubor neexistuje");
    if (::geteuid() != 0) {
        CreateTableFile(path, StockItemsTable());
        fs::permissions(path, fs::perms::none);
        EXPECT_NE(table.OpenTable(Variant::text(dir.dir() + "SKSEZZAS")), 0);
        EXPECT_EQ(table.lastOpenError(), path + ": přístup k souboru byl odepřen");
    }
}

TEST(HostileFiles, BoundedReadsTellTheReason) {
    TempDir dir;
    std::string reason;
    FileKind kind = FileKind::Regular;
    WriteBytes(dir.file("ten"), "0123456789");
    EXPECT_EQ(ReadBoundedFile(dir.file("ten"), 10, reason, kind), "0123456789");
    EXPECT_FALSE(ReadBoundedFile(dir.file("ten"), 9, reason, kind));
    EXPECT_EQ(reason, "soubor je příliš velký (10 bajtů, nejvýše 9)");
#ifndef _WIN32
    EXPECT_FALSE(ReadBoundedFile("/dev/zero", 1 << 20, reason, kind));
    EXPECT_EQ(kind, FileKind::Device);
#endif
    EXPECT_FALSE(ReadBoundedFile(dir.file("none"), 10, reason, kind));
    EXPECT_EQ(kind, FileKind::Missing);
    EXPECT_EQ(reason, "soubor neexistuje");
}

} // namespace
