// The main window's Změna agendy, Info, Konec and close box, with the agenda and information
// windows of their own and an exit that is counted instead of ending the test program.
#include "UiTestAgenda.h"

#include "app/StartUp.h"
#include "dialogs/Modal.h"
#include "location/CurrentAgenda.h"
#include "settings/ProgramValues.h"
#include "text/PathText.h"
#include "widgets/ReportBox.h"
#include "windows/AgendaWindow.h"
#include "windows/EngineTables.h"
#include "windows/InfoWindow.h"
#include "windows/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include "UiTestHelpers.h"

using namespace vrelmont;
using namespace vrelmont::ui;
namespace seam = vrelmont::ui::testing;
using namespace vrelmont::ui::test;

namespace {

const QString kRule10(10, QLatin1Char('='));
const QStringList kClosingLines = {kRule10, QStringLiteral("Dokončeno"), kRule10};

class MainWindowCommandsTest : public ::testing::Test {
protected:
    MainWindowCommandsTest() {
        root = QDir(tmp.path()).canonicalPath();
        testdata::MakeAgenda(root + "/AGENDA.001", "Alfa s.r.o.");
        testdata::MakeAgenda(root + "/AGENDA.002", "Beta a.s.");
        agenda.dataRoot = NormalizeDirPath(root.toStdString());
        agenda.agendaDir = agenda.dataRoot + "AGENDA.001/";
        agenda.agendaName = "Alfa s.r.o.";
        seam::RecordMessageBoxes(true);
        seam::ClearModalHandlers();
        window.setInfoWindow(&about, QString::fromUtf8(kProgramVersion));
        window.setAgendaWindow(&agendaWindow);
        window.setExitProgram([this] { ++exits; });
        for (int n = 1; n <= 15; ++n)
            NumberedCheckBox(window, n)->setChecked(n == 1);
        window.show();
    }
    ~MainWindowCommandsTest() override {
        seam::ClearModalHandlers();
        seam::RecordMessageBoxes(false);
    }

    // Answers the agenda window with the row named `name`, or "Zpět" when it is empty; keeps the
    // rows it listed.
    void NextAgendaWindow(const QString &name) {
        seam::PushModalHandler([this, name](QDialog *dialog) {
            auto &w = *static_cast<AgendaWindow *>(dialog);
            for (int i = 0; i < Named<QListWidget>(w, "ListBox1")->count(); ++i)
                listed << Named<QListWidget>(w, "ListBox1")->item(i)->text();
            const auto rows = Named<QListWidget>(w, "ListBox1")->findItems(name, Qt::MatchExactly);
            if (name.isEmpty() || rows.isEmpty()) {
                Named<QPushButton>(w, "Button3")->click();
            } else {
                Named<QListWidget>(w, "ListBox1")->setCurrentItem(rows.front());
                Named<QPushButton>(w, "Button2")->click();
            }
            return w.result();
        });
    }

    QStringList report() const { return Named<ReportBox>(window, "RichEdit1")->lines(); }

    QTemporaryDir tmp;
    QString root;
    CurrentAgenda agenda;
    EngineTables tables;
    AgendaWindow agendaWindow{agenda};
    InfoWindow about;
    MainWindow window{tables, agenda};
    int exits = 0;
    QStringList listed;
};

TEST_F(MainWindowCommandsTest, ChangeOfAgendaBackKeepsItConfirmedChangesItAndTheReportStays) {
    Named<QPushButton>(window, "Button2")->click();
    const QStringList firstRun = report();
    ASSERT_GE(firstRun.size(), 3);
    EXPECT_EQ(firstRun[2], "Agenda: Alfa s.r.o.");

    NextAgendaWindow(QString());
    Named<QPushButton>(window, "Button1")->click();
    EXPECT_EQ(listed.size(), 2) << "listed under the data root";
    EXPECT_EQ(agenda.agendaDir, agenda.dataRoot + "AGENDA.001/");
    EXPECT_EQ(agenda.agendaName, "Alfa s.r.o.");

    NextAgendaWindow("Beta a.s.");
    Named<QPushButton>(window, "Button1")->click();
    EXPECT_EQ(agenda.agendaDir, agenda.dataRoot + "AGENDA.002/");
    EXPECT_EQ(agenda.agendaName, "Beta a.s.");
    EXPECT_EQ(agenda.dataRoot, NormalizeDirPath(root.toStdString()));
    EXPECT_EQ(report(), firstRun) << "a change of agenda does not clear the report";
    EXPECT_EQ(window.windowTitle(), "Vrelmont");

    Named<QPushButton>(window, "Button2")->click();
    const QStringList both = report();
    ASSERT_GT(both.size(), firstRun.size() + 2);
    EXPECT_EQ(both.mid(0, firstRun.size()), firstRun);
    EXPECT_EQ(both[firstRun.size() + 2], "Agenda: Beta a.s.");
    EXPECT_TRUE(seam::TakeRecordedBoxes().isEmpty());
}

TEST_F(MainWindowCommandsTest, InfoShowsTheVersionAndARunWaitsWhileItIsOpen) {
    Named<QLabel>(about, "Label8")->setText("old");
    QString versionShown;
    bool runEndedWhileOpen = true;
    seam::PushModalHandler([&](QDialog *dialog) {
        versionShown = Named<QLabel>(dialog, "Label8")->text();
        const QStringList lines = report();
        runEndedWhileOpen = lines.mid(lines.size() - 3) == kClosingLines;
        return int(QDialog::Accepted);
    });
    QTimer::singleShot(0, &window, [this] { Named<QPushButton>(window, "Button6")->click(); });
    Named<QPushButton>(window, "Button2")->click();
    EXPECT_EQ(versionShown, "1.10");
    EXPECT_FALSE(runEndedWhileOpen);
    EXPECT_EQ(report().mid(report().size() - 3), kClosingLines);
}

TEST_F(MainWindowCommandsTest, KonecExitsWithoutTheCloseRequestAndOnlyOnce) {
    Named<QPushButton>(window, "Button5")->click();
    EXPECT_EQ(exits, 1);
    EXPECT_TRUE(window.isVisible()) << "the program's end closes it, not Konec";
    window.close();
    EXPECT_EQ(exits, 1) << "a close request after Konec saves nothing more";
}

TEST_F(MainWindowCommandsTest, CloseBoxExitsAtOnceEvenDuringARun) {
    int exitsSeenInTheRun = -1;
    QTimer::singleShot(0, &window, [&] {
        window.close();
        exitsSeenInTheRun = exits;
    });
    Named<QPushButton>(window, "Button2")->click();
    EXPECT_EQ(exitsSeenInTheRun, 1);
    EXPECT_EQ(report().mid(report().size() - 3), kClosingLines) << "the run went on";
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(exits, 1);
}

// The close box during a run, with the real exit: the program's loop runs, the run starts in it, and
// the modal windows the run opens afterwards are real ones. Answers the loop's exit code.
class CloseDuringRunTest : public MainWindowCommandsTest {
protected:
    CloseDuringRunTest() {
        settingsPath = QDir(tmp.path()).filePath("Vrelmont.ini").toStdString();
        window.setExitProgram([this] { ExitProgram(window, settingsPath, agenda); });
    }

    // Starts the run inside the main loop; `inRun` runs at the run's first processing of events.
    int runInMainLoop(std::function<void()> inRun) {
        QTimer::singleShot(0, &window, [this] { Named<QPushButton>(window, "Button2")->click(); });
        QTimer::singleShot(0, &window, std::move(inRun));
        QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(99); }); // never hang the tests
        return QCoreApplication::exec();
    }
    bool settingsWritten() const { return QFile::exists(QString::fromStdString(settingsPath)); }

    std::string settingsPath;
};

TEST_F(CloseDuringRunTest, InfoOpenedAfterTheCloseRequestHoldsTheRunUntilItIsClosed) {
    bool writtenAtOnce = false;
    bool infoStayedOpen = false;
    bool runWaited = false;
    const int exitCode = runInMainLoop([&] {
        window.close();
        writtenAtOnce = settingsWritten();
        QTimer::singleShot(100, &about, [&] {
            infoStayedOpen = about.isVisible();
            runWaited = !report().contains("Dokončeno");
            Named<QPushButton>(about, "Button1")->click();
        });
        seam::PushRealModalLoop(); // Info waits in its own loop until the timer above closes it
        Named<QPushButton>(window, "Button6")->click();
    });
    EXPECT_EQ(exitCode, 0) << "the program ended by its own exit, after the run";
    EXPECT_TRUE(writtenAtOnce) << "the settings are written at the close request";
    EXPECT_TRUE(infoStayedOpen) << "Info was not ended by the close request";
    EXPECT_TRUE(runWaited);
    EXPECT_EQ(report().mid(report().size() - 3), kClosingLines) << "the run finished after Info";
    EXPECT_FALSE(window.isVisible());
}

TEST_F(CloseDuringRunTest, ACheckFailureAfterTheCloseRequestStillShowsItsMessageAndWaits) {
    seam::RecordMessageBoxes(false);
    QFile::remove(QString::fromStdString(agenda.agendaDir) + "SKKMKART.DAT");
    NumberedCheckBox(window, 3)->setChecked(true); // the card number check: its table is missing
    QString messageShown;
    const int exitCode = runInMainLoop([&] {
        window.close();
        // Answer the failure message once it stands on screen.
        auto *poll = new QTimer(&window);
        QObject::connect(poll, &QTimer::timeout, [&, poll] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            poll->stop();
            messageShown = box->text();
            box->accept();
        });
        poll->start(20);
    });
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(messageShown, "Nelze otevřít seznam kmenových karet.");
    EXPECT_FALSE(report().contains("Dokončeno")) << "the failure stopped the run";
    EXPECT_FALSE(window.isVisible());
}

} // namespace
