#include "appearance/CaptionColour.h"
#include "dialogs/DirectoryDialogWindow.h"
#include "dialogs/HelpViewer.h"
#include "dialogs/Modal.h"
#include "engine/Engine.h"
#include "engine/EngineError.h"
#include "engine/TBFTable.h"
#include "ini/IniFile.h"
#include "location/CurrentAgenda.h"
#include "windows/AgendaWindow.h"
#include "windows/DataDirectoryWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "LayoutChecks.h"
#include "UiTestHelpers.h"
#include "core/TestScopes.h"

using namespace vrelmont;
using namespace vrelmont::ui;
namespace seam = vrelmont::ui::testing;

using namespace vrelmont::ui::test;
using vrelmont::test::EngineFactoryScope;
using vrelmont::test::FailingEngineFactory;

namespace {

const QString kEngineMessageStart =
    QStringLiteral("Při pokusu o přístup na databázový objekt Money došlo k následující chybě:\r\r");
const QString kEngineMessageEnd =
    QStringLiteral("\r\rPravděpodobně používáte starší verzi knihovny mon2kdbe.dll a bude nutné provést její "
                   "inovaci. Kontaktujte prosím technickou podporu na adrese podpora@vrelmont.cz");

// An engine from before the program's interface: it answers no GUID.
class OldEngine : public Engine {
public:
    std::string queryGuid(const std::string &guid) const override {
        throw EngineError("Rozhraní " + guid + " není podporováno");
    }
};

class DataDirectoryWindowTest : public ::testing::Test {
protected:
    DataDirectoryWindowTest() {
        root = QDir(tmp.path()).canonicalPath();
        QDir(root).mkpath("DATA/AGENDA.001");
        IniFile((root + "/DATA/AGENDA.001/AGENDA.INI").toStdString())
            .PutText("Údaje o firmě", "Název-obchodní", "Alfa s.r.o.");
        seam::RecordMessageBoxes(true);
        window.setAgendaWindow(&agendaWindow);
        QObject::connect(&window, &DataDirectoryWindow::programEndRequested, [this] { ++endRequests; });
    }
    ~DataDirectoryWindowTest() override {
        seam::ClearModalHandlers();
        seam::RecordMessageBoxes(false);
        seam::SetHelpTopicOpener({});
    }

    // Answers the agenda window: choose the first row, or leave with "Zpět".
    void NextAgendaWindow(bool choose, bool *shown = nullptr) {
        seam::PushModalHandler([=](QDialog *dialog) {
            auto *w = static_cast<AgendaWindow *>(dialog);
            if (shown)
                *shown = true;
            if (choose && Named<QListWidget>(w, "ListBox1")->count() > 0) {
                Named<QListWidget>(w, "ListBox1")->setCurrentRow(0);
                Named<QPushButton>(w, "Button2")->click();
            } else {
                Named<QPushButton>(w, "Button3")->click();
            }
            return w->result();
        });
    }

    void ExpectEngineBox(const QString &errorText) {
        const auto boxes = seam::TakeRecordedBoxes();
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_EQ(boxes[0].title, "Error");
        EXPECT_EQ(boxes[0].icon, BoxIcon::Error);
        EXPECT_EQ(boxes[0].text, kEngineMessageStart + errorText + kEngineMessageEnd);
    }

    QTemporaryDir tmp;
    QString root;
    TBFTable walkTable;
    CurrentAgenda agenda;
    AgendaWindow agendaWindow{agenda};
    DataDirectoryWindow window{walkTable};
    int endRequests = 0;
};

TEST_F(DataDirectoryWindowTest, ControlsCaptionsAndFocusOrder) {
    window.setProgramVersion("1.10");
    EXPECT_EQ(window.windowTitle(), "Nastavení cesty k Money");
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_NE(window.minimumSize(), window.maximumSize()) << "the border can be resized";

    EXPECT_EQ(Named<QFrame>(window, "Bevel1")->frameShadow(), QFrame::Raised);
    EXPECT_EQ(Named<QLabel>(window, "Label1")->text(), "Vrelmont v Money S3");
    EXPECT_TRUE(Named<QLabel>(window, "Label1")->font().bold());
    EXPECT_EQ(Named<QLabel>(window, "lblInfoVerze")->text(), "Verze 1.10");
    EXPECT_TRUE(Named<QLabel>(window, "lblInfoVerze")->font().bold());
    EXPECT_EQ(Named<QLabel>(window, "Label2")->text(), "Cesta k adresáři DATA:");
    EXPECT_EQ(Named<QPushButton>(window, "Button4")->text(), "Nápověda");
    EXPECT_EQ(Named<QPushButton>(window, "Button2")->text(), "Konec");
    EXPECT_EQ(Named<QPushButton>(window, "Button1")->text(), "Další >>>");
    EXPECT_TRUE(Named<QPushButton>(window, "Button1")->isDefault());
}

TEST_F(DataDirectoryWindowTest, LayoutKeepsItsPlacesAndHidesNothing) {
    window.setProgramVersion("1.10");
    EXPECT_EQ(window.size(), QSize(403, 160)) << "the client area";
    EXPECT_EQ(PlaceFaults(&window, {{"Bevel1", {8, 12}, {377, 23}},
                                    {"Label1", {10, 16}, {287, 15}},
                                    {"lblInfoVerze", {299, 16}, {83, 15}},
                                    {"Label2", {8, 48}, {}},
                                    {"Edit1", {8, 64}, {353, 21}},
                                    {"Button3", {360, 64}, {25, 21}},
                                    {"Button4", {8, 112}, {75, 25}},
                                    {"Button2", {230, 112}, {75, 25}},
                                    {"Button1", {312, 112}, {75, 25}}}),
              Faults());
    EXPECT_EQ(LayoutFaults(&window), Faults());
    window.setPathLocked(true); // Button3 shows "<>" instead of "..."
    EXPECT_EQ(LayoutFaults(&window), Faults());
    EXPECT_EQ(TabOrder(&window), (QStringList{"Edit1", "Button1", "Button2", "Button3", "Button4"}));
}

TEST_F(DataDirectoryWindowTest, LockedPathUnlocksFirstAndBrowsesOnTheSecondPress) {
    Named<QLineEdit>(window, "Edit1")->setText("C:\\Money\\DATA\\");
    window.setPathLocked(true);
    EXPECT_TRUE(Named<QLineEdit>(window, "Edit1")->isReadOnly());
    EXPECT_EQ(Named<QPushButton>(window, "Button3")->text(), "<>");

    bool dialogShown = false;
    seam::PushModalHandler([&](QDialog *dialog) {
        dialogShown = true;
        auto *form = static_cast<DirectoryDialogWindow *>(dialog);
        EXPECT_FALSE(Named<QListWidget>(form, "FileListBox")->isVisible());
        EXPECT_FALSE(Named<QPushButton>(form, "BBHelp")->isVisible());
        form->setDirectory(root + "/DATA");
        Named<QPushButton>(form, "BBOk")->click();
        return form->result();
    });
    Named<QPushButton>(window, "Button3")->click();
    EXPECT_FALSE(dialogShown) << "the first press only unlocks";
    EXPECT_FALSE(Named<QLineEdit>(window, "Edit1")->isReadOnly());
    EXPECT_TRUE(Named<QLineEdit>(window, "Edit1")->accessibleDescription().isEmpty());
    EXPECT_EQ(Named<QPushButton>(window, "Button3")->text(), "...");
    EXPECT_EQ(Named<QLineEdit>(window, "Edit1")->text(), "C:\\Money\\DATA\\");

    Named<QPushButton>(window, "Button3")->click();
    EXPECT_TRUE(dialogShown);
    EXPECT_EQ(Named<QLineEdit>(window, "Edit1")->text(), root + "/DATA")
        << "the whole text replaced, no separator added";
    EXPECT_FALSE(window.isPathLocked());
}

// Locked, the path is still there to be read: in the ordinary text colour, by Tab, by a screen
// reader and, when deep, in its tooltip; only typing is refused.
TEST_F(DataDirectoryWindowTest, ALockedPathCanBeReadButNotEdited) {
    const QString deep = root + "/Účetnictví/Železářství Novák a synové/Money S3 – archiv 2019–2024/DATA/";
    window.setDataPath(deep);
    window.setPathLocked(true);
    auto *edit = Named<QLineEdit>(window, "Edit1");
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_TRUE(edit->focusPolicy() & Qt::TabFocus);
    EXPECT_EQ(edit->toolTip(), deep);
    EXPECT_EQ(edit->accessibleName(), "Cesta k adresáři DATA");
    EXPECT_TRUE(edit->accessibleDescription().contains("<>")) << "says how to unlock it";
    QTest::keyClicks(edit, "x");
    EXPECT_EQ(edit->text(), deep);

    window.show();
    edit->clearFocus(); // no text cursor among the letters
    const QImage image = edit->grab().toImage();
    const QRect inside = edit->rect().adjusted(3, 3, -3, -3);
    const QRgb ground = image.pixel(inside.center().x(), inside.top());
    double best = 1;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            best = std::max(
                best, ContrastRatio({qRed(p), qGreen(p), qBlue(p)}, {qRed(ground), qGreen(ground), qBlue(ground)}));
        }
    }
    EXPECT_GE(best, kReadableContrast);
}

TEST_F(DataDirectoryWindowTest, CancelledBrowsingKeepsThePathAndTheNextShowingStartsWhereItEnded) {
    Named<QLineEdit>(window, "Edit1")->setText("typed by hand");
    QString secondStart;
    seam::PushModalHandler([&](QDialog *dialog) {
        auto *form = static_cast<DirectoryDialogWindow *>(dialog);
        form->setDirectory(root + "/DATA/AGENDA.001");
        Named<QPushButton>(form, "BBCancel")->click();
        return form->result();
    });
    seam::PushModalHandler([&](QDialog *dialog) {
        secondStart = static_cast<DirectoryDialogWindow *>(dialog)->directory();
        return int(QDialog::Rejected);
    });
    Named<QPushButton>(window, "Button3")->click();
    EXPECT_EQ(Named<QLineEdit>(window, "Edit1")->text(), "typed by hand");
    Named<QPushButton>(window, "Button3")->click();
    EXPECT_EQ(secondStart, root + "/DATA/AGENDA.001") << "where the first showing ended";
}

TEST_F(DataDirectoryWindowTest, BrowsingStartsInTheCurrentDirectoryNotAtThePathField) {
    Named<QLineEdit>(window, "Edit1")->setText(root + "/DATA/AGENDA.001");
    QString start;
    seam::PushModalHandler([&](QDialog *dialog) {
        start = static_cast<DirectoryDialogWindow *>(dialog)->directory();
        return int(QDialog::Rejected);
    });
    Named<QPushButton>(window, "Button3")->click();
    EXPECT_EQ(start, QDir::toNativeSeparators(QDir::currentPath())) << "the first showing";
    EXPECT_EQ(Named<QLineEdit>(window, "Edit1")->text(), root + "/DATA/AGENDA.001") << "cancelled: unchanged";
}

TEST_F(DataDirectoryWindowTest, KonecAndEscapeEndTheProgramTheCloseBoxCancels) {
    seam::PushModalHandler([&](QDialog *dialog) {
        Named<QPushButton>(window, "Button2")->click();
        return dialog->result();
    });
    EXPECT_EQ(ExecModal(&window), QDialog::Rejected);
    EXPECT_EQ(endRequests, 1);
    EXPECT_TRUE(window.isProgramEndRequested());

    seam::PushModalHandler([&](QDialog *dialog) {
        PressKey(Named<QLineEdit>(window, "Edit1"), Qt::Key_Escape);
        return dialog->result();
    });
    EXPECT_EQ(ExecModal(&window), QDialog::Rejected);
    EXPECT_EQ(endRequests, 2);

    DataDirectoryWindow other(walkTable);
    int otherEnds = 0;
    QObject::connect(&other, &DataDirectoryWindow::programEndRequested, [&] { ++otherEnds; });
    seam::PushModalHandler([&](QDialog *dialog) {
        dialog->close();
        return dialog->result();
    });
    EXPECT_EQ(ExecModal(&other), QDialog::Rejected);
    EXPECT_EQ(otherEnds, 0);
    EXPECT_FALSE(other.isProgramEndRequested());
    EXPECT_TRUE(seam::TakeRecordedBoxes().isEmpty());
}

TEST_F(DataDirectoryWindowTest, EngineThatCannotStartShowsTheBoxOnEveryPressAndNoAgendaWindow) {
    EngineFactoryScope failingEngine(FailingEngineFactory("Třída není registrována"));
    Named<QLineEdit>(window, "Edit1")->setText(root + "/DATA");
    bool agendaWindowShown = false;
    NextAgendaWindow(true, &agendaWindowShown);
    for (int press = 0; press < 2; ++press) {
        Named<QPushButton>(window, "Button1")->click();
        ExpectEngineBox("Třída není registrována");
    }
    EXPECT_FALSE(agendaWindowShown);
    EXPECT_NE(window.result(), QDialog::Accepted);
    EXPECT_EQ(Named<QLineEdit>(window, "Edit1")->text(), root + "/DATA");
    EXPECT_TRUE(agenda.agendaDir.empty());
    EXPECT_TRUE(agenda.dataRoot.empty());
}

TEST_F(DataDirectoryWindowTest, EngineThatDoesNotKnowTheInterfaceShowsItsMessage) {
    EngineFactoryScope oldEngine([] { return std::make_shared<OldEngine>(); });
    Named<QPushButton>(window, "Button1")->click();
    ExpectEngineBox("Rozhraní {5B1E7C40-2D93-4F6A-9E18-C7A24D06B3F1} není podporováno");
}

TEST_F(DataDirectoryWindowTest, NextWithBlanksAroundThePathChoosesAnAgendaAndEndsWithOk) {
    Named<QLineEdit>(window, "Edit1")->setText("  " + root + "/DATA \t");
    seam::PushModalHandler([&](QDialog *dialog) {
        PressKey(Named<QLineEdit>(window, "Edit1"), Qt::Key_Return); // Enter presses "Další >>>"
        return dialog->result();
    });
    NextAgendaWindow(true); // handlers are taken in order: this one answers the nested agenda window
    EXPECT_EQ(ExecModal(&window), QDialog::Accepted);
    EXPECT_EQ(QString::fromStdString(agenda.dataRoot), root + "/DATA/");
    EXPECT_EQ(QString::fromStdString(agenda.agendaDir), root + "/DATA/AGENDA.001/");
    EXPECT_EQ(agenda.agendaName, "Alfa s.r.o.");
    EXPECT_TRUE(walkTable.isConnected()) << "the engine test connected the main table";
    EXPECT_TRUE(seam::TakeRecordedBoxes().isEmpty());
}

TEST_F(DataDirectoryWindowTest, ZpetInTheAgendaWindowComesBackWithThePathAsItWas) {
    Named<QLineEdit>(window, "Edit1")->setText(root + "/DATA");
    bool shown = false;
    NextAgendaWindow(false, &shown);
    Named<QPushButton>(window, "Button1")->click();
    EXPECT_TRUE(shown);
    EXPECT_NE(window.result(), QDialog::Accepted);
    EXPECT_EQ(Named<QLineEdit>(window, "Edit1")->text(), root + "/DATA");
    EXPECT_TRUE(Named<QLineEdit>(window, "Edit1")->isEnabled());
    EXPECT_TRUE(agenda.dataRoot.empty());
}

TEST_F(DataDirectoryWindowTest, ListingErrorIsReportedAndTheWindowStays) {
    // The main table is connected already; the engine object is then lost, so a settings table
    // (which attaches on its own) cannot reach it.
    walkTable.QueryGuid(kEngineFeatureGuid);
    EngineFactoryScope lostEngine(FailingEngineFactory("Server neodpovídá"));
    QFile(root + "/DATA/AGENDA.001/AGENDA.DAT").open(QIODevice::WriteOnly);
    Named<QLineEdit>(window, "Edit1")->setText(root + "/DATA");
    bool shown = false;
    NextAgendaWindow(true, &shown);
    Named<QPushButton>(window, "Button1")->click();
    EXPECT_FALSE(shown);
    const auto boxes = seam::TakeRecordedBoxes();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].title, "Vrelmont");
    EXPECT_EQ(boxes[0].text, "Server neodpovídá.");
    EXPECT_NE(window.result(), QDialog::Accepted);
}

} // namespace
