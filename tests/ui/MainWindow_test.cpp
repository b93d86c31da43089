// The main window: its controls, its button states, and Start, Přerušit and Uložit protokol driven
// through the window on small agendas built on disk.
#include "dialogs/Modal.h"
#include "location/CurrentAgenda.h"
#include "platform/DateText.h"
#include "tablefiles/TableFiles.h"
#include "text/PathText.h"
#include "widgets/ProgressGauge.h"
#include "widgets/ReportBox.h"
#include "windows/EngineTables.h"
#include "windows/MainWindow.h"
#include "writer/RecordWriter.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextLayout>
#include <QTimer>
#include <gtest/gtest.h>

#include "LayoutChecks.h"
#include "UiTestHelpers.h"

#include <map>
#include <memory>
#include <sqlite3.h>

namespace vrelmont::ui {
namespace {

namespace modal = vrelmont::ui::testing;
using namespace vrelmont::ui::test;

const QString kRule35(35, QLatin1Char('='));
const QString kRule10(10, QLatin1Char('='));
const QString kStockNumberTitle = QStringLiteral("Kontrola duplicitních skladových zásob:");
const QString kAbortLine = QStringLiteral("[ kontrola přerušena uživatelem ]");

// Stock items (Sklad, Cislo, UzivCode, Katalog, BarCode, Zkrat, Popis) with `duplicates` records
// that repeat the number 7 in warehouse 1, and one master card for number 7.
void WriteAgenda(const QString &directory, int duplicates) {
    const std::string dir = NormalizeDirPath(directory.toStdString());
    const std::string stock = TableFilePath(dir, "SKSEZZAS");
    CreateTableFile(stock, StockItemsTable());
    RecordWriter stockWriter(stock, StockItemsTable());
    for (int i = 0; i < duplicates; ++i)
        stockWriter.append({1, 7, std::string(), std::string(), std::string(), std::string(), std::string("Hřebík")});
    stockWriter.commit();
    const std::string cards = TableFilePath(dir, "SKKMKART");
    CreateTableFile(cards, MasterCardsTable());
    RecordWriter cardWriter(cards, MasterCardsTable());
    cardWriter.append({7, std::string(), std::string(), std::string(), std::string(), std::string("Hřebík")});
    cardWriter.commit();
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(agendaDir.isValid());
        agenda.agendaDir = NormalizeDirPath(agendaDir.path().toStdString());
        agenda.agendaName = "Železářství Novák";
        modal::RecordMessageBoxes(true);
        modal::ClearModalHandlers();
        window = std::make_unique<MainWindow>(tables, agenda);
    }
    void TearDown() override {
        window.reset();
        modal::RecordMessageBoxes(false);
        modal::ClearModalHandlers();
    }

    void tickOnly(std::initializer_list<int> numbers) {
        for (int n = 1; n <= 15; ++n)
            NumberedCheckBox(window, n)->setChecked(std::find(numbers.begin(), numbers.end(), n) != numbers.end());
    }
    QStringList report() { return Named<ReportBox>(window, "RichEdit1")->lines(); }
    QStringList runHeader() {
        const QString today = QString::fromStdString(TodayShortDateText());
        return {kRule35, QStringLiteral("Vrelmont"), QStringLiteral("Agenda: Železářství Novák"),
                QStringLiteral("Datum: ") + today, kRule35};
    }
    static QStringList closingLines() { return {kRule10, QStringLiteral("Dokončeno"), kRule10}; }
    bool buttonsIdle() const {
        return Named<QPushButton>(window, "Button2")->isEnabled() &&
               !Named<QPushButton>(window, "Button3")->isEnabled() &&
               Named<QPushButton>(window, "Button4")->isEnabled() &&
               Named<QPushButton>(window, "Button5")->isEnabled() && Named<QPushButton>(window, "Button1")->isEnabled();
    }
    // Runs `action` at the first processing of window events, i.e. inside the run.
    void duringRun(std::function<void()> action) { QTimer::singleShot(0, window.get(), std::move(action)); }

    QTemporaryDir agendaDir;
    CurrentAgenda agenda;
    EngineTables tables;
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, ControlsHaveTheirNamesAndCaptions) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Vrelmont"));
    EXPECT_EQ(Named<QLabel>(window, "Label2")->text(),
              QStringLiteral(" Upozornění: jedná se pouze o informativní výpis, program do dat agendy nijak "
                             "nezasahuje.                U modře označených položek se nemusí jednat o chybu."));
    EXPECT_EQ(Named<QGroupBox>(window, "GroupBox1")->title(), QString());
    EXPECT_FALSE(Named<QLabel>(window, "Image1")->pixmap().isNull());

    const struct {
        QPushButton *button;
        const char *name;
        QString caption;
    } buttons[] = {
        {Named<QPushButton>(window, "Button2"), "Button2", QStringLiteral("Start")},
        {Named<QPushButton>(window, "Button3"), "Button3", QStringLiteral("Přerušit")},
        {Named<QPushButton>(window, "Button4"), "Button4", QStringLiteral("Uložit protokol")},
        {Named<QPushButton>(window, "Button1"), "Button1", QStringLiteral("Změna agendy")},
        {Named<QPushButton>(window, "Button6"), "Button6", QStringLiteral("Info")},
        {Named<QPushButton>(window, "Button5"), "Button5", QStringLiteral("Konec")},
    };
    for (const auto &b : buttons) {
        EXPECT_EQ(window->findChild<QPushButton *>(QLatin1String(b.name)), b.button) << b.name;
        EXPECT_EQ(b.button->text(), b.caption) << b.name;
    }

    const QString captions[] = {
        QStringLiteral("hlásit duplicitu čísel skladových zásob"),
        QStringLiteral("hlásit chybějící kmenové karty"),
        QStringLiteral("hlásit duplicitu čísel kmenových karet"),
        QStringLiteral("hlásit duplicitu PLU kmenových karet"),
        QStringLiteral("hlásit duplicitu PLU skladových zásob"),
        QStringLiteral("hlásit duplicitu katalog. čísla kmenových karet"),
        QStringLiteral("hlásit duplicitu katalog. čísla skladových zásob"),
        QStringLiteral("hlásit duplicitu čár. kódu kmenových karet"),
        QStringLiteral("hlásit duplicitu čár. kódu skladových zásob"),
        QStringLiteral("hlásit duplicitu zkratky kmenových karet"),
        QStringLiteral("hlásit duplicitu zkratky skladových zásob"),
        QStringLiteral("hlásit duplicitu popisu kmenových karet"),
        QStringLiteral("hlásit duplicitu popisu skladových zásob"),
        QStringLiteral("hlásit kmenové karty bez popisu"),
        QStringLiteral("hlásit skladové zásoby bez popisu"),
    };
    for (int n = 1; n <= 15; ++n) {
        QCheckBox *box = NumberedCheckBox(window, n);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->objectName(), QStringLiteral("CheckBox%1").arg(n));
        EXPECT_EQ(box->parentWidget(), Named<QGroupBox>(window, "GroupBox1"));
        EXPECT_EQ(box->text(), captions[n - 1]) << n;
        EXPECT_TRUE(box->isChecked()) << "every box starts ticked: " << n;
    }
}

TEST_F(MainWindowTest, LayoutKeepsItsPlacesAndHidesNothing) {
    EXPECT_EQ(window->size(), QSize(538, 476)) << "546 × 503 with the frame";
    EXPECT_EQ(PlaceFaults(window.get(), {{"Shape4", {8, 8}, {38, 38}},
                                         {"Bevel1", {9, 9}, {36, 36}},
                                         {"Image1", {11, 11}, {32, 32}},
                                         {"Bevel2", {56, 8}, {473, 38}},
                                         {"Label2", {57, 9}, {471, 35}},
                                         {"GroupBox1", {8, 64}, {521, 177}},
                                         {"RichEdit1", {8, 256}, {521, 145}},
                                         {"Gauge1", {8, 411}, {521, 17}},
                                         {"Button2", {8, 440}, {97, 25}},
                                         {"Button3", {104, 440}, {97, 25}},
                                         {"Button4", {200, 440}, {97, 25}},
                                         {"Button1", {296, 440}, {97, 25}},
                                         {"Button6", {392, 440}, {42, 25}},
                                         {"Button5", {448, 440}, {81, 25}}}),
              Faults());
    // The check boxes, the buttons and the notice show their whole captions, the boxes stay inside
    // their frame, and the right column keeps clear of the left one.
    EXPECT_EQ(LayoutFaults(window.get()), Faults());
    // The buttons here also keep the style's margins around their captions.
    for (const char *name : {"Button1", "Button2", "Button3", "Button4", "Button5", "Button6"})
        EXPECT_LE(CaptionWidth(Named<QPushButton>(window, name)), Named<QPushButton>(window, name)->width()) << name;
}

TEST_F(MainWindowTest, CheckBoxesStandInTwoColumnsInRunOrder) {
    const int left[] = {1, 3, 2, 14, 15, 4, 5};
    const int right[] = {6, 7, 8, 9, 10, 11, 12, 13};
    for (int row = 0; row < 7; ++row) {
        EXPECT_EQ(NumberedCheckBox(window, left[row])->pos(), QPoint(8, 12 + 20 * row)) << left[row];
    }
    // The right column stands at 272 unless a wider font moves it left to stay inside the frame.
    const int rightX = NumberedCheckBox(window, 6)->x();
    EXPECT_LE(rightX, 272);
    for (int row = 0; row < 8; ++row) {
        EXPECT_EQ(NumberedCheckBox(window, right[row])->y(), 12 + 20 * row) << right[row];
        EXPECT_EQ(NumberedCheckBox(window, right[row])->x(), rightX) << right[row];
    }
    for (int n = 1; n <= 15; ++n) {
        EXPECT_EQ(NumberedCheckBox(window, n)->height(), 17) << n;
        EXPECT_LE(NumberedCheckBox(window, n)->geometry().right(), Named<QGroupBox>(window, "GroupBox1")->width() - 2)
            << "inside the frame's border: " << n;
    }
}

TEST_F(MainWindowTest, EightBoxesAreBlue) {
    for (int n = 1; n <= 15; ++n) {
        const QColor text = NumberedCheckBox(window, n)->palette().color(QPalette::WindowText);
        if (n >= 6 && n <= 13)
            EXPECT_EQ(text, QColor(0, 0, 255)) << n;
        else
            EXPECT_NE(text, QColor(0, 0, 255)) << n;
    }
}

TEST_F(MainWindowTest, TheNoticeBreaksBetweenItsSentences) {
    // The notice's 16 spaces push its second sentence onto the second of two lines that fit the label.
    QTextLayout layout(Named<QLabel>(window, "Label2")->text(), Named<QLabel>(window, "Label2")->font());
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QStringList lines;
    qreal height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(Named<QLabel>(window, "Label2")->width());
        lines << Named<QLabel>(window, "Label2")->text().mid(line.textStart(), line.textLength());
        height += line.height();
    }
    layout.endLayout();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].trimmed().endsWith(QStringLiteral("nezasahuje."))) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("U modře"))) << lines[1].toStdString();
    EXPECT_LE(height, Named<QLabel>(window, "Label2")->height());
}

TEST_F(MainWindowTest, TabOrderFollowsBoxNumbersThenButtons) {
    QList<QWidget *> expected;
    for (int n = 1; n <= 15; ++n)
        expected << NumberedCheckBox(window, n);
    expected << Named<QPushButton>(window, "Button2") << Named<QPushButton>(window, "Button3")
             << Named<QPushButton>(window, "Button4") << Named<QPushButton>(window, "Button5")
             << Named<QPushButton>(window, "Button1") << Named<ReportBox>(window, "RichEdit1")
             << Named<QPushButton>(window, "Button6");

    QList<QWidget *> chain;
    QWidget *widget = NumberedCheckBox(window, 1);
    do {
        if (widget->focusPolicy() & Qt::TabFocus)
            chain << widget;
        widget = widget->nextInFocusChain();
    } while (widget != NumberedCheckBox(window, 1) && chain.size() <= expected.size());
    EXPECT_EQ(chain, expected);
    // Tab in the report box moves on instead of inserting a tab character.
    EXPECT_TRUE(Named<ReportBox>(window, "RichEdit1")->tabChangesFocus());
}

TEST_F(MainWindowTest, CannotBeMaximised) {
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowCloseButtonHint);
    window->show();
    window->setWindowState(Qt::WindowMaximized);
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->windowState() & Qt::WindowMaximized);
}

TEST_F(MainWindowTest, EnterAndEscTriggerNothing) {
    window->show();
    for (QWidget *target :
         {static_cast<QWidget *>(Named<QPushButton>(window, "Button2")),
          static_cast<QWidget *>(NumberedCheckBox(window, 1)), static_cast<QWidget *>(window.get())}) {
        for (const int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
            QCoreApplication::sendEvent(target, &press);
            QCoreApplication::sendEvent(target, &release);
        }
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(report().isEmpty());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(NumberedCheckBox(window, 1)->isChecked());
    for (QPushButton *button : window->findChildren<QPushButton *>())
        EXPECT_FALSE(button->isDefault() || button->autoDefault()) << button->text().toStdString();
}

TEST_F(MainWindowTest, RunStateSwitchesExactlyFiveButtons) {
    WriteAgenda(agendaDir.path(), 0);
    EXPECT_TRUE(buttonsIdle());
    std::map<QString, bool> enabledInRun;
    duringRun([&] {
        for (QWidget *control : window->findChildren<QWidget *>())
            if (!control->objectName().isEmpty())
                enabledInRun[control->objectName()] = control->isEnabled();
    });
    Named<QPushButton>(window, "Button2")->click();
    EXPECT_FALSE(enabledInRun["Button2"]);
    EXPECT_TRUE(enabledInRun["Button3"]);
    EXPECT_FALSE(enabledInRun["Button4"]);
    EXPECT_FALSE(enabledInRun["Button5"]);
    EXPECT_FALSE(enabledInRun["Button1"]);
    EXPECT_TRUE(enabledInRun["Button6"]);
    EXPECT_TRUE(enabledInRun["GroupBox1"]);
    for (int n = 1; n <= 15; ++n)
        EXPECT_TRUE(enabledInRun[QStringLiteral("CheckBox%1").arg(n)]) << n;
    EXPECT_TRUE(buttonsIdle());
}

TEST_F(MainWindowTest, AbortButtonOutsideARunSetsNothing) {
    Named<QPushButton>(window, "Button3")->click();
    EXPECT_FALSE(window->isAbortRequested());
}

TEST_F(MainWindowTest, RunWithNoBoxTickedWritesHeaderAndClosingLines) {
    WriteAgenda(agendaDir.path(), 0);
    tickOnly({});
    Named<QPushButton>(window, "Button2")->click();
    EXPECT_EQ(report(), runHeader() + closingLines());
    EXPECT_TRUE(buttonsIdle());
    EXPECT_EQ(Named<ProgressGauge>(window, "Gauge1")->progress(), 0);
    EXPECT_TRUE(modal::TakeRecordedBoxes().isEmpty());

    // A second run appends below the first: nothing is cleared.
    Named<QPushButton>(window, "Button2")->click();
    EXPECT_EQ(report(), runHeader() + closingLines() + runHeader() + closingLines());
}

TEST_F(MainWindowTest, RunWritesFindingsBetweenHeaderAndClosingLines) {
    WriteAgenda(agendaDir.path(), 3);
    tickOnly({1, 2});
    Named<QPushButton>(window, "Button2")->click();
    const QString finding = QStringLiteral("Nalezena duplicitní skladová zásoba č. 7 ve skladu č. 1");
    const QStringList checks{QString(),
                             kStockNumberTitle,
                             QString(31, QLatin1Char('=')),
                             QString(),
                             finding,
                             finding,
                             QString(),
                             QStringLiteral("Kontrola existence kmenových karet:"),
                             QString(29, QLatin1Char('=')),
                             QString()};
    EXPECT_EQ(report(), runHeader() + checks + closingLines());
    EXPECT_TRUE(buttonsIdle());
}

TEST_F(MainWindowTest, MissingTableShowsTheMessageAndStopsTheRun) {
    tickOnly({1, 3});
    Named<QPushButton>(window, "Button2")->click();
    const auto boxes = modal::TakeRecordedBoxes();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].title, QStringLiteral("Vrelmont"));
    EXPECT_EQ(boxes[0].text, QStringLiteral("Nelze otevřít seznam skladových zásob."));
    EXPECT_EQ(boxes[0].icon, BoxIcon::None);
    const QStringList header{QString(), kStockNumberTitle, QString(31, QLatin1Char('=')), QString()};
    EXPECT_EQ(report(), runHeader() + header);
    EXPECT_TRUE(buttonsIdle());
    EXPECT_EQ(Named<ProgressGauge>(window, "Gauge1")->progress(), 0);
}

TEST_F(MainWindowTest, EngineErrorIsReportedAndLeavesTheWindowIdle) {
    // A card number that is no number: reading it as an integer is an engine error.
    const std::string cards = TableFilePath(agenda.agendaDir, "SKKMKART");
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(cards.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE SKKMKART (Cislo, Popis TEXT); CREATE INDEX k ON SKKMKART (Cislo);"
                           "INSERT INTO SKKMKART VALUES ('abc', 'x'), ('abd', 'y');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    tickOnly({3});
    Named<QPushButton>(window, "Button2")->click();
    const auto boxes = modal::TakeRecordedBoxes();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].title, QStringLiteral("Vrelmont"));
    EXPECT_EQ(boxes[0].icon, BoxIcon::Error);
    EXPECT_TRUE(boxes[0].text.contains(QLatin1String("abc"))) << boxes[0].text.toStdString();
    EXPECT_FALSE(report().contains(QStringLiteral("Dokončeno")));
    EXPECT_TRUE(buttonsIdle());
    EXPECT_FALSE(window->isRunning());
}

TEST_F(MainWindowTest, AbortDuringTheRunStopsTheCheck) {
    WriteAgenda(agendaDir.path(), 200);
    tickOnly({1, 2});
    bool abortEnabledInRun = false;
    duringRun([&] {
        abortEnabledInRun = Named<QPushButton>(window, "Button3")->isEnabled();
        Named<QPushButton>(window, "Button3")->click();
    });
    Named<QPushButton>(window, "Button2")->click();
    EXPECT_TRUE(abortEnabledInRun);
    EXPECT_TRUE(window->isAbortRequested());
    const QStringList lines = report();
    // Pressed during the header: the first check stops in its first cycle, after at most one finding.
    ASSERT_GE(lines.size(), 5 + 4 + 2);
    EXPECT_LE(lines.size(), 5 + 4 + 1 + 2);
    EXPECT_EQ(lines.mid(lines.size() - 2), (QStringList{QString(), kAbortLine}));
    EXPECT_FALSE(lines.contains(QStringLiteral("Dokončeno")));
    EXPECT_TRUE(buttonsIdle());
    EXPECT_EQ(Named<ProgressGauge>(window, "Gauge1")->progress(), Named<ProgressGauge>(window, "Gauge1")->maximum());

    // Start clears the request left by the previous run: the next run completes.
    Named<QPushButton>(window, "Button2")->click();
    EXPECT_FALSE(window->isAbortRequested());
    EXPECT_EQ(report().mid(report().size() - 3), closingLines());
}

TEST_F(MainWindowTest, BoxesUntickedDuringTheRunAreSkipped) {
    WriteAgenda(agendaDir.path(), 2);
    tickOnly({1, 2});
    duringRun([&] { NumberedCheckBox(window, 2)->setChecked(false); });
    Named<QPushButton>(window, "Button2")->click();
    const QStringList lines = report();
    EXPECT_TRUE(lines.contains(kStockNumberTitle));
    EXPECT_FALSE(lines.contains(QStringLiteral("Kontrola existence kmenových karet:")));
    EXPECT_EQ(lines.mid(lines.size() - 3), closingLines());
}

TEST_F(MainWindowTest, CloseDuringTheRunWaitsForTheRunToEnd) {
    WriteAgenda(agendaDir.path(), 50);
    tickOnly({1});
    window->show();
    bool visibleAfterCloseRequest = false;
    duringRun([&] {
        window->close();
        visibleAfterCloseRequest = window->isVisible();
    });
    Named<QPushButton>(window, "Button2")->click();
    EXPECT_TRUE(visibleAfterCloseRequest);
    EXPECT_EQ(report().mid(report().size() - 3), closingLines()) << "the run went on to its end";
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->isClosePending());
}

TEST_F(MainWindowTest, KonecClosesTheWindow) {
    window->show();
    Named<QPushButton>(window, "Button5")->click();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, SaveWritesWindows1250WithCrLfAndAddsTheExtension) {
    tickOnly({});
    WriteAgenda(agendaDir.path(), 0);
    Named<QPushButton>(window, "Button2")->click();
    QTemporaryDir outDir;
    const QString chosen = outDir.filePath(QStringLiteral("protokol"));
    modal::PushSaveFileAnswer(chosen);
    Named<QPushButton>(window, "Button4")->click();

    const auto request = modal::LastSaveFileRequest();
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->filter, QStringLiteral("Textové soubory (*.txt)"));
    EXPECT_EQ(request->defaultSuffix, QStringLiteral("txt"));
    EXPECT_TRUE(request->initialName.isEmpty());

    QFile file(chosen + QStringLiteral(".txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const QByteArray date = QByteArray::fromStdString(TodayShortDateText());
    const QByteArray rule35(35, '='), rule10(10, '=');
    EXPECT_EQ(bytes, rule35 +
                         "\r\nVrelmont\r\nAgenda: \x8E"
                         "elez\xE1\xF8stv\xED Nov\xE1k\r\nDatum: " +
                         date + "\r\n" + rule35 + "\r\n" + rule10 +
                         "\r\nDokon\xE8"
                         "eno\r\n" +
                         rule10 + "\r\n");
    EXPECT_TRUE(modal::TakeRecordedBoxes().isEmpty());

    // The next save starts with the name chosen before.
    modal::PushSaveFileAnswer(QString());
    Named<QPushButton>(window, "Button4")->click();
    EXPECT_EQ(modal::LastSaveFileRequest()->initialName, chosen + QStringLiteral(".txt"));
}

TEST_F(MainWindowTest, SaveKeepsWhatTheUserTypedAndAGivenExtension) {
    Named<ReportBox>(window, "RichEdit1")->setPlainText(QStringLiteral("první\nřádek"));
    QTemporaryDir outDir;
    const QString chosen = outDir.filePath(QStringLiteral("zprava.log"));
    modal::PushSaveFileAnswer(chosen);
    Named<QPushButton>(window, "Button4")->click();
    QFile file(chosen);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("prvn\xED\r\n\xF8\xE1"
                                         "dek\r\n"));
    EXPECT_EQ(Named<ReportBox>(window, "RichEdit1")->toPlainText(), QStringLiteral("první\nřádek"));
}

TEST_F(MainWindowTest, SaveCancelledWritesNothing) {
    Named<ReportBox>(window, "RichEdit1")->setPlainText(QStringLiteral("x"));
    modal::PushSaveFileAnswer(QString());
    Named<QPushButton>(window, "Button4")->click();
    EXPECT_TRUE(modal::TakeRecordedBoxes().isEmpty());
    modal::PushSaveFileAnswer(QString());
    Named<QPushButton>(window, "Button4")->click();
    EXPECT_TRUE(modal::LastSaveFileRequest()->initialName.isEmpty()) << "a cancelled save remembers no name";
}

TEST_F(MainWindowTest, UnwritableProtocolFileIsReportedNamingTheFile) {
    Named<ReportBox>(window, "RichEdit1")->setPlainText(QStringLiteral("řádek"));
    QTemporaryDir outDir;
    const QString chosen = outDir.filePath(QStringLiteral("chybi/protokol.txt"));
    modal::PushSaveFileAnswer(chosen);
    Named<QPushButton>(window, "Button4")->click();
    const auto boxes = modal::TakeRecordedBoxes();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].title, QStringLiteral("Vrelmont"));
    EXPECT_EQ(boxes[0].icon, BoxIcon::Error);
    EXPECT_TRUE(boxes[0].text.contains(chosen)) << boxes[0].text.toStdString();
    EXPECT_TRUE(boxes[0].text.endsWith(QLatin1Char('.'))) << boxes[0].text.toStdString();
    EXPECT_FALSE(QFile::exists(chosen));
    EXPECT_EQ(Named<ReportBox>(window, "RichEdit1")->toPlainText(), QStringLiteral("řádek"));
}

// --- The report box and the gauge ---

TEST(ReportBoxTest, LinesAreSeenAtOnceAndTypingLandsAfterThem) {
    ReportBox box;
    box.appendLine(QStringLiteral("první"));
    box.appendLine(QString());
    box.appendLine(QStringLiteral("třetí"));
    EXPECT_EQ(box.lines(), (QStringList{QStringLiteral("první"), QString(), QStringLiteral("třetí")}));

    box.appendLine(QStringLiteral("čtvrtý"));
    EXPECT_EQ(box.pendingLineCount(), 1);
    box.moveCursor(QTextCursor::End);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QCoreApplication::sendEvent(&box, &key);
    EXPECT_EQ(box.toPlainText(), QStringLiteral("první\n\ntřetí\nčtvrtýx"));
}

TEST(ReportBoxTest, GatheredLinesAppearWithoutFurtherLines) {
    ReportBox box;
    box.appendLine(QStringLiteral("a"));
    auto *flushTimer = box.findChild<QTimer *>(QStringLiteral("flushTimer"));
    ASSERT_NE(flushTimer, nullptr);
    EXPECT_TRUE(flushTimer->isActive()) << "the first gathered line starts the clock";
    EXPECT_TRUE(flushTimer->isSingleShot());
    EXPECT_EQ(flushTimer->interval(), ReportBox::kFlushIntervalMs);
    EXPECT_EQ(box.pendingLineCount(), 1);
    // The clock runs out: its signal is sent here instead of waiting for it.
    ASSERT_TRUE(QMetaObject::invokeMethod(flushTimer, "timeout", Qt::DirectConnection));
    EXPECT_EQ(box.pendingLineCount(), 0);
    EXPECT_FALSE(flushTimer->isActive());
    EXPECT_EQ(box.toPlainText(), QStringLiteral("a"));
}

TEST(ReportBoxTest, SoftLineBreaksSplitLinesAndAnEmptyBoxHasNone) {
    ReportBox box;
    EXPECT_TRUE(box.lines().isEmpty());
    box.setPlainText(QStringLiteral("a") + QChar(QChar::LineSeparator) + QStringLiteral("b\nc"));
    EXPECT_EQ(box.lines(), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
}

TEST(ProgressGaugeTest, ShowsTruncatedPercentageAndClampedBar) {
    ProgressGauge gauge;
    gauge.resize(521, 17);
    EXPECT_EQ(gauge.percentText(), QStringLiteral("0%"));
    gauge.setMaximum(300);
    gauge.setProgress(200);
    EXPECT_EQ(gauge.percentText(), QStringLiteral("66%"));
    EXPECT_EQ(gauge.barWidth(), 519 * 200 / 300);
    gauge.setProgress(1000);
    EXPECT_EQ(gauge.percentText(), QStringLiteral("100%"));
    EXPECT_EQ(gauge.barWidth(), 519);
    gauge.setMaximum(0);
    EXPECT_EQ(gauge.percentText(), QStringLiteral("0%"));
    EXPECT_EQ(gauge.barWidth(), 0);
}

} // namespace
} // namespace vrelmont::ui
