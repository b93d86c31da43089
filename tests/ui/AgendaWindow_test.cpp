#include "dialogs/Modal.h"
#include "engine/Engine.h"
#include "engine/EngineError.h"
#include "ini/IniFile.h"
#include "location/CurrentAgenda.h"
#include "settings/TS3IniFile.h"
#include "tablefiles/TableFiles.h"
#include "windows/AgendaWindow.h"
#include "windows/EngineTables.h"
#include "windows/MainWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "LayoutChecks.h"
#include "UiTestHelpers.h"
#include "core/TestScopes.h"

#include <functional>
#include <stdexcept>

using namespace vrelmont;
using namespace vrelmont::ui;
namespace seam = vrelmont::ui::testing;

using namespace vrelmont::ui::test;
using vrelmont::test::EngineFactoryScope;
using vrelmont::test::FailingEngineFactory;

namespace {

void DoubleClick(QListWidget *list, QPoint at) {
    QMouseEvent event(QEvent::MouseButtonDblClick, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &event);
}

class AgendaWindowTest : public ::testing::Test {
protected:
    AgendaWindowTest() {
        root = QDir(tmp.path()).canonicalPath().toStdString() + "/";
        agenda.agendaDir = "previous/AGENDA.009/";
        agenda.agendaName = "Předchozí";
        agenda.dataRoot = "previous/";
        seam::RecordMessageBoxes(true);
    }
    ~AgendaWindowTest() override {
        seam::ClearModalHandlers();
        seam::RecordMessageBoxes(false);
    }

    std::string MakeAgenda(const std::string &dirName, const std::string &name) {
        QDir().mkpath(QString::fromStdString(root + dirName));
        IniFile(root + dirName + "/AGENDA.INI").PutText("Údaje o firmě", "Název-obchodní", name);
        return root + dirName + "/";
    }

    // Runs selectAgenda; `act` sees the shown window and answers the modal result.
    bool Select(const std::function<int(AgendaWindow &)> &act) {
        seam::PushModalHandler([&](QDialog *) { return act(window); });
        return window.selectAgenda(root);
    }

    void ExpectCurrentAgendaUnchanged() {
        EXPECT_EQ(agenda.agendaDir, "previous/AGENDA.009/");
        EXPECT_EQ(agenda.agendaName, "Předchozí");
        EXPECT_EQ(agenda.dataRoot, "previous/");
    }

    QTemporaryDir tmp;
    std::string root;
    CurrentAgenda agenda;
    AgendaWindow window{agenda};
};

TEST_F(AgendaWindowTest, ControlsCaptionsAndKeys) {
    EXPECT_EQ(window.windowTitle(), "Výběr agendy");
    EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "fixed border";
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(Named<QLabel>(window, "Label2")->text(), "Nalezené agendy:");
    EXPECT_EQ(Named<QListWidget>(window, "ListBox1")->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_FALSE(Named<QListWidget>(window, "ListBox1")->isSortingEnabled());
    EXPECT_EQ(Named<QPushButton>(window, "Button2")->text(), "OK");
    EXPECT_TRUE(Named<QPushButton>(window, "Button2")->isDefault());
    EXPECT_EQ(Named<QPushButton>(window, "Button3")->text(), "Zpět");
    EXPECT_EQ(Named<QFrame>(window, "Bevel1")->frameShadow(), QFrame::Sunken);
}

TEST_F(AgendaWindowTest, LayoutKeepsItsPlacesAndHidesNothing) {
    EXPECT_EQ(window.size(), QSize(470, 265)) << "the client area";
    EXPECT_EQ(PlaceFaults(&window, {{"Label2", {8, 8}, {}},
                                    {"ListBox1", {8, 32}, {345, 193}},
                                    {"Button2", {373, 32}, {89, 25}},
                                    {"Button3", {373, 64}, {89, 25}},
                                    {"Bevel1", {8, 240}, {455, 17}},
                                    {"Label1", {14, 241}, {443, 17}}}),
              Faults());
    MakeAgenda("AGENDA.001", "Železářství Novák s.r.o.");
    Select([](AgendaWindow &w) {
        Named<QListWidget>(w, "ListBox1")->setCurrentRow(0); // the status line shows the path
        EXPECT_EQ(LayoutFaults(&w), Faults());
        return QDialog::Rejected;
    });
    EXPECT_EQ(TabOrder(&window), (QStringList{"ListBox1", "Button2", "Button3"}));
}

TEST_F(AgendaWindowTest, ListsAgendasInNameOrderAndOkChoosesOne) {
    MakeAgenda("AGENDA.003", "Gama v.o.s.");
    MakeAgenda("AGENDA.001", "Alfa s.r.o.");
    const std::string second = MakeAgenda("agenda.002", "Beta a.s.");
    MakeAgenda("Ostatní", "není agenda");

    QStringList rows;
    const bool chosen = Select([&](AgendaWindow &w) {
        rows = ListTexts(Named<QListWidget>(w, "ListBox1"));
        EXPECT_FALSE(Named<QPushButton>(w, "Button2")->isEnabled()) << "no agenda is current yet";
        EXPECT_TRUE(Named<QLabel>(w, "Label1")->text().isEmpty());
        EXPECT_EQ(Named<QListWidget>(w, "ListBox1")->selectedItems().size(), 0);
        Named<QListWidget>(w, "ListBox1")->setCurrentRow(1);
        EXPECT_TRUE(Named<QPushButton>(w, "Button2")->isEnabled());
        EXPECT_EQ(Named<QLabel>(w, "Label1")->text().toStdString(), second);
        Named<QPushButton>(w, "Button2")->click();
        return w.result();
    });

    EXPECT_TRUE(chosen);
    EXPECT_EQ(rows, (QStringList{"Alfa s.r.o.", "Beta a.s.", "Gama v.o.s."}));
    EXPECT_EQ(window.agendaDirs(), (std::vector<std::string>{root + "AGENDA.001/", second, root + "AGENDA.003/"}));
    EXPECT_EQ(agenda.agendaDir, second);
    EXPECT_EQ(agenda.agendaName, "Beta a.s.");
    EXPECT_EQ(agenda.dataRoot, root);
}

TEST_F(AgendaWindowTest, FirstArrowKeySelectsTheFirstRowWhenNoneIsPreselected) {
    MakeAgenda("AGENDA.001", "Alfa");
    MakeAgenda("AGENDA.002", "Beta");
    MakeAgenda("AGENDA.003", "Gama");
    for (const int key : {Qt::Key_Down, Qt::Key_Up}) {
        Select([&](AgendaWindow &w) {
            // Taking the focus by keyboard makes the first row current without selecting it.
            QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
            QCoreApplication::sendEvent(Named<QListWidget>(w, "ListBox1"), &focusIn);
            PressKey(Named<QListWidget>(w, "ListBox1"), key);
            EXPECT_EQ(Named<QListWidget>(w, "ListBox1")->currentRow(), 0);
            EXPECT_EQ(Named<QListWidget>(w, "ListBox1")->selectedItems().size(), 1);
            EXPECT_TRUE(Named<QPushButton>(w, "Button2")->isEnabled());
            PressKey(Named<QListWidget>(w, "ListBox1"), Qt::Key_Down);
            EXPECT_EQ(Named<QListWidget>(w, "ListBox1")->currentRow(), 1) << "later steps move on as usual";
            return QDialog::Rejected;
        });
    }
    agenda.agendaDir = root + "AGENDA.003/";
    Select([&](AgendaWindow &w) {
        PressKey(Named<QListWidget>(w, "ListBox1"), Qt::Key_Up);
        EXPECT_EQ(Named<QListWidget>(w, "ListBox1")->currentRow(), 1) << "from the preselected row one step up";
        return QDialog::Rejected;
    });
}

TEST_F(AgendaWindowTest, OkReadsTheNameAgainFromTheSettings) {
    const std::string agendaDir = MakeAgenda("AGENDA.001", "Stará firma");
    Select([&](AgendaWindow &w) {
        IniFile(agendaDir + "AGENDA.INI").PutText("Údaje o firmě", "Název-obchodní", "Nová firma");
        Named<QListWidget>(w, "ListBox1")->setCurrentRow(0);
        EXPECT_EQ(Named<QListWidget>(w, "ListBox1")->item(0)->text(), "Stará firma");
        Named<QPushButton>(w, "Button2")->click();
        return w.result();
    });
    EXPECT_EQ(agenda.agendaName, "Nová firma");
}

TEST_F(AgendaWindowTest, ZpetCloseBoxAndEscapeChangeNothing) {
    MakeAgenda("AGENDA.001", "Alfa");
    const std::vector<std::function<void(AgendaWindow &)>> ways{
        [](AgendaWindow &w) { Named<QPushButton>(w, "Button3")->click(); },
        [](AgendaWindow &w) { w.close(); },
        [](AgendaWindow &w) { PressKey(Named<QListWidget>(w, "ListBox1"), Qt::Key_Escape); },
    };
    for (const auto &leave : ways) {
        EXPECT_FALSE(Select([&](AgendaWindow &w) {
            Named<QListWidget>(w, "ListBox1")->setCurrentRow(0);
            leave(w);
            return w.result();
        }));
        ExpectCurrentAgendaUnchanged();
    }
}

TEST_F(AgendaWindowTest, CurrentAgendaIsPreselectedInAnyLetterCase) {
    MakeAgenda("AGENDA.001", "Alfa");
    const std::string second = MakeAgenda("AGENDA.002", "Beta");
    agenda.agendaDir = root + "agenda.002/";
    const bool chosen = Select([&](AgendaWindow &w) {
        const auto selected = Named<QListWidget>(w, "ListBox1")->selectedItems();
        EXPECT_EQ(selected.size(), 1);
        if (!selected.isEmpty()) {
            EXPECT_EQ(selected.front()->text(), "Beta");
        }
        EXPECT_TRUE(Named<QPushButton>(w, "Button2")->isEnabled());
        EXPECT_EQ(Named<QLabel>(w, "Label1")->text().toStdString(), second);
        Named<QPushButton>(w, "Button2")->click();
        return w.result();
    });
    EXPECT_TRUE(chosen);
    EXPECT_EQ(agenda.agendaDir, second);
    EXPECT_EQ(agenda.agendaName, "Beta");
}

TEST_F(AgendaWindowTest, EnterChoosesOnlyWhenARowIsSelected) {
    MakeAgenda("AGENDA.001", "Alfa");
    const bool chosen = Select([&](AgendaWindow &w) {
        PressKey(Named<QListWidget>(w, "ListBox1"), Qt::Key_Return);
        EXPECT_TRUE(w.isVisible()) << "OK is disabled, Enter does nothing";
        EXPECT_EQ(w.result(), 0);
        Named<QListWidget>(w, "ListBox1")->setCurrentRow(0);
        PressKey(Named<QListWidget>(w, "ListBox1"), Qt::Key_Return);
        EXPECT_FALSE(w.isVisible());
        return w.result();
    });
    EXPECT_TRUE(chosen);
    EXPECT_EQ(agenda.agendaName, "Alfa");
}

TEST_F(AgendaWindowTest, DoubleClickOnARowChoosesItButOnAnEmptyListDoesNothing) {
    EXPECT_FALSE(Select([&](AgendaWindow &w) {
        DoubleClick(Named<QListWidget>(w, "ListBox1"), QPoint(20, 20));
        EXPECT_TRUE(w.isVisible());
        Named<QPushButton>(w, "Button3")->click();
        return w.result();
    }));
    ExpectCurrentAgendaUnchanged();

    MakeAgenda("AGENDA.001", "Alfa");
    EXPECT_TRUE(Select([&](AgendaWindow &w) {
        DoubleClick(
            Named<QListWidget>(w, "ListBox1"),
            Named<QListWidget>(w, "ListBox1")->visualItemRect(Named<QListWidget>(w, "ListBox1")->item(0)).center());
        return w.result();
    }));
    EXPECT_EQ(agenda.agendaName, "Alfa");
}

TEST_F(AgendaWindowTest, EqualNamesPlainFilesAndHiddenEntries) {
    const std::string first = MakeAgenda("AGENDA.001", "Stejná");
    const std::string second = MakeAgenda("AGENDA.002", "Stejná");
    QFile(QString::fromStdString(root + "AGENDA.TXT")).open(QIODevice::WriteOnly);
    QDir().mkpath(QString::fromStdString(root + ".AGENDA.003"));
    Select([&](AgendaWindow &w) {
        EXPECT_EQ(Named<QListWidget>(w, "ListBox1")->count(), 3);
        for (int row = 0; row < Named<QListWidget>(w, "ListBox1")->count(); ++row) {
            const std::string path = w.agendaDirs()[std::size_t(row)];
            EXPECT_EQ(Named<QListWidget>(w, "ListBox1")->item(row)->text(),
                      path == root + "AGENDA.TXT/" ? "" : "Stejná");
            Named<QListWidget>(w, "ListBox1")->setCurrentRow(row);
            EXPECT_EQ(Named<QLabel>(w, "Label1")->text().toStdString(), path)
                << "the status line tells equal rows apart";
        }
        return QDialog::Rejected;
    });
}

TEST_F(AgendaWindowTest, ADeepPathIsElidedInTheMiddleAndWholeInItsTooltip) {
    root += "Účetnictví/Železářství Novák a synové, veřejná obchodní společnost/Money S3 – archiv 2019–2024/DATA/";
    const std::string path = MakeAgenda("AGENDA.001", "Alfa");
    Select([&](AgendaWindow &w) {
        Named<QListWidget>(w, "ListBox1")->setCurrentRow(0);
        const auto *status = Named<QLabel>(w, "Label1");
        const QString whole = QString::fromStdString(path);
        EXPECT_TRUE(status->text().contains(QStringLiteral("…"))) << status->text().toStdString();
        EXPECT_TRUE(whole.startsWith(status->text().section(QStringLiteral("…"), 0, 0)));
        EXPECT_TRUE(whole.endsWith(status->text().section(QStringLiteral("…"), 1)));
        EXPECT_TRUE(status->text().endsWith("AGENDA.001/")) << "the agenda's own folder stays";
        EXPECT_LE(status->fontMetrics().horizontalAdvance(status->text()), status->contentsRect().width());
        EXPECT_EQ(status->toolTip(), whole);
        EXPECT_EQ(status->accessibleName(), whole);
        return QDialog::Rejected;
    });
}

TEST_F(AgendaWindowTest, ADeselectedRowCannotBeChosen) {
    MakeAgenda("AGENDA.001", "Alfa");
    EXPECT_FALSE(Select([&](AgendaWindow &w) {
        Named<QListWidget>(w, "ListBox1")->setCurrentRow(0);
        Named<QListWidget>(w, "ListBox1")->clearSelection();
        EXPECT_FALSE(Named<QPushButton>(w, "Button2")->isEnabled());
        EXPECT_TRUE(Named<QLabel>(w, "Label1")->text().isEmpty());
        // The handlers themselves refuse too, not only the disabled button.
        QMetaObject::invokeMethod(&w, "onOkClicked");
        QMetaObject::invokeMethod(&w, "onListDoubleClicked");
        EXPECT_TRUE(w.isVisible());
        return QDialog::Rejected;
    }));
    ExpectCurrentAgendaUnchanged();
}

TEST_F(AgendaWindowTest, EngineErrorWhileListingShowsTheErrorReportAndNoWindow) {
    const std::string agendaDir = MakeAgenda("AGENDA.001", "Alfa");
    CreateTableFile(agendaDir + "AGENDA.DAT", SettingsTable());
    EngineFactoryScope failingEngine(FailingEngineFactory("Třída není registrována"));
    bool shown = false;
    EXPECT_FALSE(Select([&](AgendaWindow &w) {
        shown = true;
        return w.result();
    }));
    EXPECT_FALSE(shown);
    const auto boxes = seam::TakeRecordedBoxes();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].title, "Vrelmont");
    EXPECT_EQ(boxes[0].text, "Třída není registrována.");
    EXPECT_EQ(boxes[0].icon, BoxIcon::Error);
    ExpectCurrentAgendaUnchanged();
}

TEST_F(AgendaWindowTest, EachListingStartsAfresh) {
    MakeAgenda("AGENDA.001", "Alfa");
    MakeAgenda("AGENDA.002", "Beta");
    Select([](AgendaWindow &w) {
        Named<QListWidget>(w, "ListBox1")->setCurrentRow(1);
        return QDialog::Rejected;
    });
    QDir().mkpath(QString::fromStdString(root + "Ostatni"));
    root += "Ostatni/"; // no agendas under this one
    Select([](AgendaWindow &w) {
        EXPECT_EQ(Named<QListWidget>(w, "ListBox1")->count(), 0);
        EXPECT_TRUE(w.agendaDirs().empty());
        EXPECT_FALSE(Named<QPushButton>(w, "Button2")->isEnabled());
        EXPECT_TRUE(Named<QLabel>(w, "Label1")->text().isEmpty());
        return QDialog::Rejected;
    });
}

TEST(AgendaWindowInjection, ChangeOfAgendaWithoutAnAgendaWindowFailsLoudly) {
    CurrentAgenda agenda;
    EngineTables tables;
    MainWindow mainWindow(tables, agenda);
    seam::RecordMessageBoxes(true);
    Named<QPushButton>(mainWindow, "Button1")->click();
    const auto boxes = seam::TakeRecordedBoxes();
    seam::RecordMessageBoxes(false);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].icon, BoxIcon::Error);
    EXPECT_TRUE(boxes[0].text.contains("agenda window")) << boxes[0].text.toStdString();
}

} // namespace
