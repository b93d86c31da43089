#include "dialogs/Modal.h"
#include "hostdb/Engine.h"
#include "hostdb/EngineError.h"
#include "hostdb/IniFile.h"
#include "hostdb/TS3IniFile.h"
#include "hostdb/TableFiles.h"
#include "location/CurrentAgenda.h"
#include "location/ui/TfrmGetAgenda.h"

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

class TfrmGetAgendaTest : public ::testing::Test {
protected:
    TfrmGetAgendaTest() {
        root = QDir(tmp.path()).canonicalPath().toStdString() + "/";
        AgendaTablePath = "previous/AGENDA.009/";
        AgendaName = "Předchozí";
        DataRootPath = "previous/";
        seam::RecordMessageBoxes(true);
    }
    ~TfrmGetAgendaTest() override {
        seam::ClearModalHandlers();
        seam::RecordMessageBoxes(false);
        AgendaTablePath.clear();
        AgendaName.clear();
        DataRootPath.clear();
    }

    std::string MakeAgenda(const std::string &dirName, const std::string &name) {
        QDir().mkpath(QString::fromStdString(root + dirName));
        IniFile(root + dirName + "/AGENDA.INI").PutText("Údaje o firmě", "Název-obchodní", name);
        return root + dirName + "/";
    }

    // Runs SelectAgenda; `act` sees the shown window and answers the modal result.
    bool Select(const std::function<int(TfrmGetAgenda &)> &act) {
        seam::PushModalHandler([&](QDialog *) { return act(window); });
        return window.SelectAgenda(root);
    }

    void ExpectCurrentAgendaUnchanged() {
        EXPECT_EQ(AgendaTablePath, "previous/AGENDA.009/");
        EXPECT_EQ(AgendaName, "Předchozí");
        EXPECT_EQ(DataRootPath, "previous/");
    }

    QTemporaryDir tmp;
    std::string root;
    TfrmGetAgenda window;
};

TEST_F(TfrmGetAgendaTest, ControlsCaptionsAndKeys) {
    EXPECT_EQ(window.windowTitle(), "Výběr agendy");
    EXPECT_EQ(window.size(), QSize(470, 265));
    EXPECT_EQ(window.minimumSize(), window.maximumSize()) << "fixed border";
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(window.Label2->text(), "Nalezené agendy:");
    EXPECT_EQ(window.Label2->pos(), QPoint(8, 8));
    EXPECT_EQ(window.ListBox1->geometry(), QRect(8, 32, 345, 193));
    EXPECT_EQ(window.ListBox1->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_FALSE(window.ListBox1->isSortingEnabled());
    EXPECT_EQ(window.Button2->text(), "OK");
    EXPECT_EQ(window.Button2->geometry(), QRect(373, 32, 89, 25));
    EXPECT_TRUE(window.Button2->isDefault());
    EXPECT_EQ(window.Button3->text(), "Zpět");
    EXPECT_EQ(window.Button3->geometry(), QRect(373, 64, 89, 25));
    EXPECT_EQ(window.Bevel1->geometry(), QRect(8, 240, 455, 17));
    EXPECT_EQ(window.Bevel1->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(window.Label1->geometry(), QRect(14, 241, 443, 17));
    EXPECT_EQ(TabOrder(&window), (QStringList{"ListBox1", "Button2", "Button3"}));
}

TEST_F(TfrmGetAgendaTest, ListsAgendasInNameOrderAndOkChoosesOne) {
    MakeAgenda("AGENDA.003", "Gama v.o.s.");
    MakeAgenda("AGENDA.001", "Alfa s.r.o.");
    const std::string second = MakeAgenda("agenda.002", "Beta a.s.");
    MakeAgenda("Ostatní", "není agenda");

    QStringList rows;
    const bool chosen = Select([&](TfrmGetAgenda &w) {
        rows = ListTexts(w.ListBox1);
        EXPECT_FALSE(w.Button2->isEnabled()) << "no agenda is current yet";
        EXPECT_TRUE(w.Label1->text().isEmpty());
        EXPECT_EQ(w.ListBox1->selectedItems().size(), 0);
        w.ListBox1->setCurrentRow(1);
        EXPECT_TRUE(w.Button2->isEnabled());
        EXPECT_EQ(w.Label1->text().toStdString(), second);
        w.Button2->click();
        return w.result();
    });

    EXPECT_TRUE(chosen);
    EXPECT_EQ(rows, (QStringList{"Alfa s.r.o.", "Beta a.s.", "Gama v.o.s."}));
    EXPECT_EQ(window.AgendaDirList(), (std::vector<std::string>{root + "AGENDA.001/", second, root + "AGENDA.003/"}));
    EXPECT_EQ(AgendaTablePath, second);
    EXPECT_EQ(AgendaName, "Beta a.s.");
    EXPECT_EQ(DataRootPath, root);
}

TEST_F(TfrmGetAgendaTest, FirstArrowKeySelectsTheFirstRowWhenNoneIsPreselected) {
    MakeAgenda("AGENDA.001", "Alfa");
    MakeAgenda("AGENDA.002", "Beta");
    MakeAgenda("AGENDA.003", "Gama");
    for (const int key : {Qt::Key_Down, Qt::Key_Up}) {
        Select([&](TfrmGetAgenda &w) {
            // Taking the focus by keyboard makes the first row current without selecting it.
            QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
            QCoreApplication::sendEvent(w.ListBox1, &focusIn);
            PressKey(w.ListBox1, key);
            EXPECT_EQ(w.ListBox1->currentRow(), 0);
            EXPECT_EQ(w.ListBox1->selectedItems().size(), 1);
            EXPECT_TRUE(w.Button2->isEnabled());
            PressKey(w.ListBox1, Qt::Key_Down);
            EXPECT_EQ(w.ListBox1->currentRow(), 1) << "later steps move on as usual";
            return QDialog::Rejected;
        });
    }
    AgendaTablePath = root + "AGENDA.003/";
    Select([&](TfrmGetAgenda &w) {
        PressKey(w.ListBox1, Qt::Key_Up);
        EXPECT_EQ(w.ListBox1->currentRow(), 1) << "from the preselected row one step up";
        return QDialog::Rejected;
    });
}

TEST_F(TfrmGetAgendaTest, OkReadsTheNameAgainFromTheSettings) {
    const std::string agenda = MakeAgenda("AGENDA.001", "Stará firma");
    Select([&](TfrmGetAgenda &w) {
        IniFile(agenda + "AGENDA.INI").PutText("Údaje o firmě", "Název-obchodní", "Nová firma");
        w.ListBox1->setCurrentRow(0);
        EXPECT_EQ(w.ListBox1->item(0)->text(), "Stará firma");
        w.Button2->click();
        return w.result();
    });
    EXPECT_EQ(AgendaName, "Nová firma");
}

TEST_F(TfrmGetAgendaTest, ZpetCloseBoxAndEscapeChangeNothing) {
    MakeAgenda("AGENDA.001", "Alfa");
    const std::vector<std::function<void(TfrmGetAgenda &)>> ways{
        [](TfrmGetAgenda &w) { w.Button3->click(); },
        [](TfrmGetAgenda &w) { w.close(); },
        [](TfrmGetAgenda &w) { PressKey(w.ListBox1, Qt::Key_Escape); },
    };
    for (const auto &leave : ways) {
        EXPECT_FALSE(Select([&](TfrmGetAgenda &w) {
            w.ListBox1->setCurrentRow(0);
            leave(w);
            return w.result();
        }));
        ExpectCurrentAgendaUnchanged();
    }
}

TEST_F(TfrmGetAgendaTest, CurrentAgendaIsPreselectedInAnyLetterCase) {
    MakeAgenda("AGENDA.001", "Alfa");
    const std::string second = MakeAgenda("AGENDA.002", "Beta");
    AgendaTablePath = root + "agenda.002/";
    const bool chosen = Select([&](TfrmGetAgenda &w) {
        const auto selected = w.ListBox1->selectedItems();
        EXPECT_EQ(selected.size(), 1);
        if (!selected.isEmpty()) {
            EXPECT_EQ(selected.front()->text(), "Beta");
        }
        EXPECT_TRUE(w.Button2->isEnabled());
        EXPECT_EQ(w.Label1->text().toStdString(), second);
        w.Button2->click();
        return w.result();
    });
    EXPECT_TRUE(chosen);
    EXPECT_EQ(AgendaTablePath, second);
    EXPECT_EQ(AgendaName, "Beta");
}

TEST_F(TfrmGetAgendaTest, EnterChoosesOnlyWhenARowIsSelected) {
    MakeAgenda("AGENDA.001", "Alfa");
    const bool chosen = Select([&](TfrmGetAgenda &w) {
        PressKey(w.ListBox1, Qt::Key_Return);
        EXPECT_TRUE(w.isVisible()) << "OK is disabled, Enter does nothing";
        EXPECT_EQ(w.result(), 0);
        w.ListBox1->setCurrentRow(0);
        PressKey(w.ListBox1, Qt::Key_Return);
        EXPECT_FALSE(w.isVisible());
        return w.result();
    });
    EXPECT_TRUE(chosen);
    EXPECT_EQ(AgendaName, "Alfa");
}

TEST_F(TfrmGetAgendaTest, DoubleClickOnARowChoosesItButOnAnEmptyListDoesNothing) {
    EXPECT_FALSE(Select([&](TfrmGetAgenda &w) {
        DoubleClick(w.ListBox1, QPoint(20, 20));
        EXPECT_TRUE(w.isVisible());
        w.Button3->click();
        return w.result();
    }));
    ExpectCurrentAgendaUnchanged();

    MakeAgenda("AGENDA.001", "Alfa");
    EXPECT_TRUE(Select([&](TfrmGetAgenda &w) {
        DoubleClick(w.ListBox1, w.ListBox1->visualItemRect(w.ListBox1->item(0)).center());
        return w.result();
    }));
    EXPECT_EQ(AgendaName, "Alfa");
}

TEST_F(TfrmGetAgendaTest, EqualNamesPlainFilesAndHiddenEntries) {
    const std::string first = MakeAgenda("AGENDA.001", "Stejná");
    const std::string second = MakeAgenda("AGENDA.002", "Stejná");
    QFile(QString::fromStdString(root + "AGENDA.TXT")).open(QIODevice::WriteOnly);
    QDir().mkpath(QString::fromStdString(root + ".AGENDA.003"));
    Select([&](TfrmGetAgenda &w) {
        EXPECT_EQ(w.ListBox1->count(), 3);
        for (int row = 0; row < w.ListBox1->count(); ++row) {
            const std::string path = w.AgendaDirList()[std::size_t(row)];
            EXPECT_EQ(w.ListBox1->item(row)->text(), path == root + "AGENDA.TXT/" ? "" : "Stejná");
            w.ListBox1->setCurrentRow(row);
            EXPECT_EQ(w.Label1->text().toStdString(), path) << "the status line tells equal rows apart";
        }
        return QDialog::Rejected;
    });
}

TEST_F(TfrmGetAgendaTest, ADeselectedRowCannotBeChosen) {
    MakeAgenda("AGENDA.001", "Alfa");
    EXPECT_FALSE(Select([&](TfrmGetAgenda &w) {
        w.ListBox1->setCurrentRow(0);
        w.ListBox1->clearSelection();
        EXPECT_FALSE(w.Button2->isEnabled());
        EXPECT_TRUE(w.Label1->text().isEmpty());
        w.Button2Click();
        w.ListBox1DblClick();
        EXPECT_TRUE(w.isVisible());
        return QDialog::Rejected;
    }));
    ExpectCurrentAgendaUnchanged();
}

TEST_F(TfrmGetAgendaTest, EngineErrorWhileListingShowsTheErrorReportAndNoWindow) {
    const std::string agenda = MakeAgenda("AGENDA.001", "Alfa");
    CreateTableFile(agenda + "AGENDA.DAT", SettingsTable());
    EngineFactoryScope failingEngine(FailingEngineFactory("Třída není registrována"));
    bool shown = false;
    EXPECT_FALSE(Select([&](TfrmGetAgenda &w) {
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

TEST_F(TfrmGetAgendaTest, EachListingStartsAfresh) {
    MakeAgenda("AGENDA.001", "Alfa");
    MakeAgenda("AGENDA.002", "Beta");
    Select([](TfrmGetAgenda &w) {
        w.ListBox1->setCurrentRow(1);
        return QDialog::Rejected;
    });
    QDir().mkpath(QString::fromStdString(root + "Ostatni"));
    root += "Ostatni/"; // no agendas under this one
    Select([](TfrmGetAgenda &w) {
        EXPECT_EQ(w.ListBox1->count(), 0);
        EXPECT_TRUE(w.AgendaDirList().empty());
        EXPECT_FALSE(w.Button2->isEnabled());
        EXPECT_TRUE(w.Label1->text().isEmpty());
        return QDialog::Rejected;
    });
}

TEST_F(TfrmGetAgendaTest, FreeSelectAgendaUsesTheProgramsWindow) {
    EXPECT_EQ(TfrmGetAgenda::Instance(), &window);
    MakeAgenda("AGENDA.001", "Alfa");
    seam::PushModalHandler([](QDialog *dialog) {
        auto *w = static_cast<TfrmGetAgenda *>(dialog);
        w->ListBox1->setCurrentRow(0);
        w->Button2->click();
        return w->result();
    });
    EXPECT_TRUE(vrelmont::ui::SelectAgenda(root));
    EXPECT_EQ(AgendaName, "Alfa");
}

TEST(TfrmGetAgendaInstance, SelectAgendaWithoutTheWindowFailsLoudly) {
    ASSERT_EQ(TfrmGetAgenda::Instance(), nullptr);
    EXPECT_THROW(vrelmont::ui::SelectAgenda("/tmp/"), std::logic_error);
}

} // namespace
