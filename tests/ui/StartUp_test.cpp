// The program from start to exit, offscreen: the host discovery on real temporary files, the data
// directory and agenda windows answered through the modal seam, the main window driven from inside
// its event loop, and the settings file checked line by line afterwards.
#include "UiTestAgenda.h"
#include "core/TestScopes.h"

#include "app/HelpFileLocation.h"
#include "app/StartUp.h"
#include "dialogs/Modal.h"
#include "ini/IniFile.h"
#include "location/CurrentAgenda.h"
#include "platform/Registry.h"
#include "settings/ProgramValues.h"
#include "widgets/ReportBox.h"
#include "windows/AgendaWindow.h"
#include "windows/DataDirectoryWindow.h"
#include "windows/InfoWindow.h"
#include "windows/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include "UiTestHelpers.h"

#include <functional>

using namespace vrelmont;
using namespace vrelmont::ui;
using namespace vrelmont::ui::test;
namespace seam = vrelmont::ui::testing;
using vrelmont::ui::testdata::MakeAgenda;

namespace {

const QString kRule10(10, QLatin1Char('='));

QByteArray ReadFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

// The program's one main window (none is shown before StartUp has succeeded).
MainWindow *ProgramMainWindow() {
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<MainWindow *>(widget))
            return window;
    }
    return nullptr;
}

std::vector<bool> TickedBoxes(const MainWindow &window) {
    std::vector<bool> ticked;
    for (int n = 1; n <= 15; ++n)
        ticked.push_back(NumberedCheckBox(window, n)->isChecked());
    return ticked;
}

const std::vector<bool> kDefaultTicks = {true,  true,  true,  true,  true,  false, false, false,
                                         false, false, false, false, false, true,  true};

// What the data directory window looked like when it was shown.
struct DataDirectoryView {
    bool shown = false;
    QString path;
    bool pathEditable = false;
    QString browseCaption;
    QString version;
    std::vector<bool> ticks;
};

class StartUpTest : public ::testing::Test {
protected:
    StartUpTest() {
        root = QDir(tmp.path()).canonicalPath();
        programDir = root + "/prog";
        QDir().mkpath(programDir);
        dataDir = root + "/DATA";
        MakeAgenda(dataDir + "/AGENDA.001", "Alfa s.r.o.");
        MakeAgenda(dataDir + "/AGENDA.002", "Beta a.s.");
        // The host's installation: Program Files -> setup.ini -> LocalPath -> mons3.ini -> DataRoot.
        const QString commonFiles = root + "/pf/CIGLER SOFTWARE/Common Files";
        QDir().mkpath(commonFiles);
        QDir().mkpath(root + "/money");
        IniFile((commonFiles + "/setup.ini").toStdString())
            .PutText("InstParams", "LocalPath", (root + "/money").toStdString());
        IniFile((root + "/money/mons3.ini").toStdString()).PutText("Directory", "DataRoot", dataDir.toStdString());
        registry_.use([this](const std::string &key, const std::string &value) -> std::optional<std::string> {
            ++registryReads;
            if (hostInstalled && key == "SOFTWARE\\Microsoft\\Windows\\CurrentVersion" && value == "ProgramFilesDir")
                return (root + "/pf").toStdString();
            return std::nullopt;
        });
        seam::RecordMessageBoxes(true);
        seam::ClearModalHandlers();
    }
    ~StartUpTest() override {
        seam::ClearModalHandlers();
        seam::RecordMessageBoxes(false);
    }

    QString settingsPath() const { return programDir + "/Vrelmont.ini"; }
    StartUpPaths paths() const {
        return {(programDir + "/vrelmont").toStdString(), (root + "/config/Vrelmont").toStdString()};
    }

    // Answers the data directory window: records it, then does `act` (press a button, close it...).
    void NextDataDirectoryWindow(DataDirectoryView &view, std::function<void(DataDirectoryWindow &)> act) {
        seam::PushModalHandler([&view, act](QDialog *dialog) {
            auto &window = *static_cast<DataDirectoryWindow *>(dialog);
            view.shown = true;
            view.path = Named<QLineEdit>(window, "Edit1")->text();
            view.pathEditable = !Named<QLineEdit>(window, "Edit1")->isReadOnly();
            view.browseCaption = Named<QPushButton>(window, "Button3")->text();
            view.version = Named<QLabel>(window, "lblInfoVerze")->text();
            if (MainWindow *main = ProgramMainWindow())
                view.ticks = TickedBoxes(*main);
            act(window);
            return window.result();
        });
    }

    // Answers the agenda window by choosing the row with `name`; an empty name goes back ("Zpět").
    static void NextAgendaWindow(const QString &name, QString *preselected = nullptr) {
        seam::PushModalHandler([name, preselected](QDialog *dialog) {
            auto &window = *static_cast<AgendaWindow *>(dialog);
            if (preselected && Named<QListWidget>(window, "ListBox1")->currentItem() &&
                Named<QPushButton>(window, "Button2")->isEnabled())
                *preselected = Named<QListWidget>(window, "ListBox1")->currentItem()->text();
            const auto rows = Named<QListWidget>(window, "ListBox1")->findItems(name, Qt::MatchExactly);
            if (name.isEmpty() || rows.isEmpty()) {
                Named<QPushButton>(window, "Button3")->click();
            } else {
                Named<QListWidget>(window, "ListBox1")->setCurrentItem(rows.front());
                Named<QPushButton>(window, "Button2")->click();
            }
            return window.result();
        });
    }

    // Runs the whole program. `drive` gets the main window once its event loop runs and must end
    // the program; without it the program must end before its main window is shown.
    int RunTheProgram(std::function<void(MainWindow &)> drive = {}) {
        QObject context;
        bool driven = false;
        QTimer::singleShot(0, &context, [&] {
            driven = true;
            MainWindow *window = ProgramMainWindow();
            if (!window || !window->isVisible() || !drive) {
                ADD_FAILURE() << "the main window runs unexpectedly";
                QCoreApplication::exit(98);
                return;
            }
            drive(*window);
            if (::testing::Test::HasFailure())
                QCoreApplication::exit(97);
        });
        // Guards against a program that never ends; it is no measure of speed.
        QTimer hangGuard;
        hangGuard.setSingleShot(true);
        QObject::connect(&hangGuard, &QTimer::timeout, [] {
            ADD_FAILURE() << "the program did not end";
            QCoreApplication::exit(99);
        });
        hangGuard.start(120000);
        const int code = RunProgram(paths());
        EXPECT_EQ(driven, bool(drive)) << "the main window ran exactly when it was expected to";
        return code;
    }

    vrelmont::test::RegistryReaderScope registry_;
    QTemporaryDir tmp;
    QString root;
    QString programDir;
    QString dataDir;
    bool hostInstalled = true;
    int registryReads = 0;
};

QStringList Lines(const QByteArray &bytes) {
    QStringList lines = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

TEST_F(StartUpTest, FirstStartRunAndExitThenASecondStartReadsTheSettings) {
    DataDirectoryView first;
    NextDataDirectoryWindow(first, [](DataDirectoryWindow &w) { Named<QPushButton>(w, "Button1")->click(); });
    NextAgendaWindow("Alfa s.r.o.");

    QStringList reportAfterRun;
    QString preselected;
    QString versionShown;
    const int code = RunTheProgram([&](MainWindow &w) {
        EXPECT_EQ(w.windowTitle(), "Vrelmont");
        EXPECT_EQ(TickedBoxes(w), kDefaultTicks);
        NumberedCheckBox(w, 2)->setChecked(false);
        NumberedCheckBox(w, 6)->setChecked(true);

        Named<QPushButton>(w, "Button2")->click();
        reportAfterRun = Named<ReportBox>(w, "RichEdit1")->lines();

        const QString protocol = root + "/protokol.txt";
        seam::PushSaveFileAnswer(protocol);
        Named<QPushButton>(w, "Button4")->click();
        EXPECT_TRUE(ReadFile(protocol).contains("Agenda: Alfa s.r.o.")) << "the protocol was saved";

        NextAgendaWindow("Beta a.s.", &preselected);
        Named<QPushButton>(w, "Button1")->click();
        EXPECT_EQ(Named<ReportBox>(w, "RichEdit1")->lines(), reportAfterRun) << "a change of agenda keeps the report";
        Named<QPushButton>(w, "Button2")->click();
        const QStringList bothRuns = Named<ReportBox>(w, "RichEdit1")->lines();
        ASSERT_GT(bothRuns.size(), reportAfterRun.size() + 2);
        EXPECT_EQ(bothRuns[reportAfterRun.size() + 2], "Agenda: Beta a.s.") << "the next run is on the new agenda";

        seam::PushModalHandler([&](QDialog *dialog) {
            versionShown = Named<QLabel>(dialog, "Label8")->text();
            return int(QDialog::Accepted);
        });
        Named<QPushButton>(w, "Button6")->click();

        Named<QPushButton>(w, "Button5")->click();
    });
    EXPECT_EQ(code, 0);

    EXPECT_TRUE(first.shown);
    EXPECT_EQ(first.path, dataDir + "/") << "found by the host discovery";
    EXPECT_FALSE(first.pathEditable);
    EXPECT_EQ(first.browseCaption, "<>");
    EXPECT_EQ(first.version, "Verze 1.10");
    EXPECT_EQ(first.ticks, kDefaultTicks) << "loaded before the window was shown";
    EXPECT_GT(registryReads, 0);

    ASSERT_GE(reportAfterRun.size(), 8);
    EXPECT_EQ(reportAfterRun[2], "Agenda: Alfa s.r.o.");
    EXPECT_EQ(reportAfterRun.mid(reportAfterRun.size() - 3), QStringList({kRule10, "Dokončeno", kRule10}));
    EXPECT_EQ(preselected, "Alfa s.r.o.") << "Změna agendy opens on the current agenda";
    EXPECT_EQ(versionShown, "1.10");
    EXPECT_TRUE(seam::TakeRecordedBoxes().isEmpty());

    QStringList expected = {"[PATH]", "MoneyDataRoot=" + dataDir + "/", "[SETTING]"};
    const char *checkValues = "101111000000011"; // CheckBox2 unticked, CheckBox6 ticked
    for (int n = 1; n <= 15; ++n)
        expected << QStringLiteral("Check%1=%2").arg(n, 2, 10, QLatin1Char('0')).arg(checkValues[n - 1]);
    const QByteArray saved = ReadFile(settingsPath());
    EXPECT_EQ(Lines(saved), expected);
    EXPECT_FALSE(QFileInfo::exists(root + "/config")) << "the program's directory is writable";

    // The second start: a new process knows no agenda yet.
    registryReads = 0;
    DataDirectoryView second;
    NextDataDirectoryWindow(second, [](DataDirectoryWindow &w) { Named<QPushButton>(w, "Button2")->click(); });
    EXPECT_EQ(RunTheProgram(), 0);
    EXPECT_EQ(second.path, dataDir + "/");
    EXPECT_FALSE(second.pathEditable);
    EXPECT_EQ(second.browseCaption, "<>");
    std::vector<bool> savedTicks = kDefaultTicks;
    savedTicks[1] = false;
    savedTicks[5] = true;
    EXPECT_EQ(second.ticks, savedTicks);
    EXPECT_EQ(registryReads, 0) << "a stored data root means no host discovery";
    EXPECT_EQ(ReadFile(settingsPath()), saved) << "Konec in the data directory window saves nothing";
}

TEST_F(StartUpTest, StoredValuesAreReadByTheirRulesAndForeignLinesSurviveTheExit) {
    // Stored without its trailing separator; checks as hex, as no number, empty, negative, missing.
    WriteFile(settingsPath(), "; my notes\r\n[Foreign]\r\nKey=keep\r\n[PATH]\r\nMoneyDataRoot=" + dataDir.toUtf8() +
                                  "\r\nOther=1\r\n[SETTING]\r\nCheck01=abc\r\nCheck06=0x1\r\nCheck14=-1\r\n"
                                  "Check02=0\r\nCheck03=\r\nCheck15=0X0\r\n");
    DataDirectoryView view;
    NextDataDirectoryWindow(view, [](DataDirectoryWindow &w) { Named<QPushButton>(w, "Button1")->click(); });
    NextAgendaWindow("Beta a.s.");
    EXPECT_EQ(RunTheProgram([](MainWindow &w) { Named<QPushButton>(w, "Button5")->click(); }), 0);

    EXPECT_EQ(view.path, dataDir) << "shown as stored";
    EXPECT_EQ(view.browseCaption, "<>");
    EXPECT_EQ(registryReads, 0);
    std::vector<bool> ticks = kDefaultTicks;
    ticks[1] = false;  // Check02=0
    ticks[5] = true;   // Check06=0x1
    ticks[14] = false; // Check15=0X0
    EXPECT_EQ(view.ticks, ticks) << "abc and an empty value keep the default; -1 ticks";

    const QStringList expected = {"; my notes", "[Foreign]", "Key=keep",  "[PATH]",    "MoneyDataRoot=" + dataDir + "/",
                                  "Other=1",    "[SETTING]", "Check01=1", "Check06=1", "Check14=1",
                                  "Check02=0",  "Check03=1", "Check15=0", "Check04=1", "Check05=1",
                                  "Check07=0",  "Check08=0", "Check09=0", "Check10=0", "Check11=0",
                                  "Check12=0",  "Check13=0"};
    EXPECT_EQ(Lines(ReadFile(settingsPath())), expected);
}

TEST_F(StartUpTest, LeavingTheDataDirectoryWindowWritesNoSettings) {
    // Konec with a stored root that no longer exists: shown locked all the same, no discovery.
    const QByteArray stored = "[PATH]\r\nMoneyDataRoot=/nowhere/DATA/\r\n[SETTING]\r\nCheck07=1\r\n";
    WriteFile(settingsPath(), stored);
    DataDirectoryView konec;
    NextDataDirectoryWindow(konec, [](DataDirectoryWindow &w) { Named<QPushButton>(w, "Button2")->click(); });
    EXPECT_EQ(RunTheProgram(), 0);
    EXPECT_EQ(konec.path, "/nowhere/DATA/");
    EXPECT_EQ(konec.browseCaption, "<>");
    EXPECT_EQ(registryReads, 0);
    EXPECT_EQ(ReadFile(settingsPath()), stored);

    // The close box, first start on a machine without the host system: the path stays empty and open.
    QFile::remove(settingsPath());
    hostInstalled = false;
    DataDirectoryView closeBox;
    NextDataDirectoryWindow(closeBox, [](DataDirectoryWindow &w) { w.close(); });
    EXPECT_EQ(RunTheProgram(), 0);
    EXPECT_TRUE(closeBox.shown);
    EXPECT_EQ(closeBox.path, "");
    EXPECT_TRUE(closeBox.pathEditable);
    EXPECT_EQ(closeBox.browseCaption, "...");
    EXPECT_FALSE(QFileInfo::exists(settingsPath()));
    EXPECT_FALSE(QFileInfo::exists(root + "/config"));
    EXPECT_TRUE(seam::TakeRecordedBoxes().isEmpty());
}

TEST_F(StartUpTest, AnUnwritableSettingsFileIsReportedAndTheProgramStillEnds) {
    // A directory in the settings file's place: it reads as no file and cannot be written, for any user.
    QDir().mkpath(settingsPath());
    DataDirectoryView view;
    NextDataDirectoryWindow(view, [](DataDirectoryWindow &w) { Named<QPushButton>(w, "Button1")->click(); });
    NextAgendaWindow("Alfa s.r.o.");
    EXPECT_EQ(RunTheProgram([](MainWindow &w) { Named<QPushButton>(w, "Button5")->click(); }), 0);

    EXPECT_EQ(view.path, dataDir + "/");
    const auto boxes = seam::TakeRecordedBoxes();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].title, "Vrelmont");
    EXPECT_EQ(boxes[0].icon, BoxIcon::Error);
    EXPECT_EQ(boxes[0].text, "Unable to write to " + settingsPath() + ".");
}

TEST_F(StartUpTest, ClosingDuringARunWritesTheSettingsOnceAndEndsWhenTheRunReturns) {
    DataDirectoryView view;
    NextDataDirectoryWindow(view, [](DataDirectoryWindow &w) { Named<QPushButton>(w, "Button1")->click(); });
    NextAgendaWindow("Alfa s.r.o.");
    bool visibleAfterClose = true;
    QByteArray writtenAtClose;
    QStringList report;
    bool visibleAtTheEnd = true;
    const int code = RunTheProgram([&](MainWindow &w) {
        NumberedCheckBox(w, 9)->setChecked(true);
        // At the run's first processing of window events.
        QTimer::singleShot(0, &w, [&] {
            w.close();
            visibleAfterClose = w.isVisible();
            writtenAtClose = ReadFile(settingsPath());
            // Anything written after this point would replace the marker.
            WriteFile(settingsPath(), "marker");
        });
        Named<QPushButton>(w, "Button2")->click();
        report = Named<ReportBox>(w, "RichEdit1")->lines();
        visibleAtTheEnd = w.isVisible();
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(visibleAfterClose) << "the run goes on";
    EXPECT_TRUE(writtenAtClose.contains("\r\nCheck09=1\r\n")) << "written at once, boxes as they stand";
    EXPECT_EQ(report.mid(report.size() - 3), QStringList({kRule10, "Dokončeno", kRule10}));
    EXPECT_FALSE(visibleAtTheEnd);
    EXPECT_EQ(ReadFile(settingsPath()), "marker") << "the settings are written once per exit";
}

TEST_F(StartUpTest, WithoutAWritableProgramDirectoryTheSettingsGoToTheUserConfiguration) {
    // A program directory that cannot be written to (here: one that is not there) and holds no settings.
    programDir = root + "/readonly-prog";
    DataDirectoryView view;
    NextDataDirectoryWindow(view, [](DataDirectoryWindow &w) { Named<QPushButton>(w, "Button1")->click(); });
    NextAgendaWindow("Alfa s.r.o.");
    EXPECT_EQ(RunTheProgram([](MainWindow &w) { Named<QPushButton>(w, "Button5")->click(); }), 0);
    const QString inConfig = root + "/config/Vrelmont/Vrelmont.ini";
    EXPECT_TRUE(Lines(ReadFile(inConfig)).contains("MoneyDataRoot=" + dataDir + "/"));
    EXPECT_TRUE(seam::TakeRecordedBoxes().isEmpty());
}

TEST(HelpFileLocation, BesideTheProgramThenTheInstalledDataDirectory) {
    QTemporaryDir tmp;
    const QString root = QDir(tmp.path()).canonicalPath();
    QDir().mkpath(root + "/bin");
    QDir().mkpath(root + "/share/vrelmont");
    const std::string programDir = (root + "/bin/").toStdString();
    EXPECT_EQ(FindHelpFilePath(programDir), (root + "/bin/Vrelmont.html").toStdString()) << "none found";

    WriteFile(root + "/share/vrelmont/Vrelmont.html", "<html></html>");
    EXPECT_EQ(FindHelpFilePath(programDir), (root + "/share/vrelmont/Vrelmont.html").toStdString());

    WriteFile(root + "/bin/Vrelmont.html", "<html></html>");
    EXPECT_EQ(FindHelpFilePath(programDir), (root + "/bin/Vrelmont.html").toStdString());
}

} // namespace
