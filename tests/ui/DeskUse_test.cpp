// What a person meets at the desk, across the program's windows: where they appear, which control
// has the focus, F1, names for assistive tools, readable captions in a dark palette, the launcher.
#include "app/StartUp.h"
#include "appearance/CaptionColour.h"
#include "dialogs/DirectoryDialogWindow.h"
#include "dialogs/HelpViewer.h"
#include "dialogs/Modal.h"
#include "engine/TBFTable.h"
#include "location/CurrentAgenda.h"
#include "widgets/ProgressGauge.h"
#include "widgets/ReportBox.h"
#include "widgets/RunAnnouncements.h"
#include "windows/AgendaWindow.h"
#include "windows/DataDirectoryWindow.h"
#include "windows/EngineTables.h"
#include "windows/InfoWindow.h"
#include "windows/MainWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include "UiTestHelpers.h"

#include <functional>

using namespace vrelmont;
using namespace vrelmont::ui;
using namespace vrelmont::ui::test;
namespace seam = vrelmont::ui::testing;

namespace {

void ShowActive(QWidget *window) {
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

QPoint ScreenCentre(const QWidget *window) {
    return window->screen()->availableGeometry().center();
}

// The frame's centre within a pixel of the screen's: odd sizes cannot be centred exactly.
void ExpectCentred(const QWidget *window, const char *when) {
    const QPoint offset = window->frameGeometry().center() - ScreenCentre(window);
    EXPECT_LE(std::abs(offset.x()), 1) << when;
    EXPECT_LE(std::abs(offset.y()), 1) << when;
}

class DeskUseTest : public ::testing::Test {
protected:
    DeskUseTest() {
        seam::RecordMessageBoxes(true);
        seam::SetHelpTopicOpener([this](QWidget *parent, int topic) { opened.append({parent, topic}); });
    }
    ~DeskUseTest() override {
        seam::SetHelpTopicOpener({});
        seam::RecordMessageBoxes(false);
        seam::ClearModalHandlers();
        QApplication::setPalette(QPalette());
    }

    struct Opened {
        QWidget *parent;
        int topic;
        bool operator==(const Opened &) const = default;
    };
    QList<Opened> opened;
    TBFTable walkTable;
    EngineTables tables;
    CurrentAgenda currentAgenda;
};

TEST_F(DeskUseTest, MainWindowOpensWithTheFocusOnTheFirstCheckBox) {
    MainWindow window(tables, currentAgenda);
    EXPECT_EQ(window.focusWidget(), Named<QCheckBox>(window, "CheckBox1")) << "set before the window is shown";
    ShowActive(&window);
    EXPECT_EQ(QApplication::focusWidget(), Named<QCheckBox>(window, "CheckBox1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Named<QCheckBox>(window, "CheckBox2"))
        << "the tab order inside the frame goes on";
}

TEST_F(DeskUseTest, DataDirectoryAndAgendaWindowsAreCentredAtEveryShowing) {
    DataDirectoryWindow init(walkTable);
    AgendaWindow agenda(currentAgenda);
    for (QWidget *window : std::initializer_list<QWidget *>{&init, &agenda}) {
        window->show();
        ExpectCentred(window, "first showing");
        window->move(window->pos() + QPoint(57, -33)); // the user drags it away
        window->hide();
        window->show();
        ExpectCentred(window, "a later showing");
        window->hide();
    }
}

TEST_F(DeskUseTest, DataDirectoryWindowCannotBeMaximised) {
    DataDirectoryWindow init(walkTable);
    EXPECT_FALSE(init.windowFlags() & Qt::WindowMaximizeButtonHint);
    init.show();
    init.setWindowState(Qt::WindowMaximized);
    QTest::qWait(20);
    EXPECT_FALSE(init.windowState() & Qt::WindowMaximized);
    init.showMaximized();
    QTest::qWait(20);
    EXPECT_FALSE(init.isMaximized());
}

TEST_F(DeskUseTest, F1OpensTheTopicOfTheActiveWindowInEveryWindow) {
    MainWindow main(tables, currentAgenda);
    DataDirectoryWindow init(walkTable);
    AgendaWindow agenda(currentAgenda);
    InfoWindow about;
    DirectoryDialogWindow directory;
    const QList<std::pair<QWidget *, int>> windows{{&init, 1}, {&agenda, 2}, {&main, 3}, {&directory, 4}, {&about, 5}};
    for (const auto &[window, topic] : windows) {
        opened.clear();
        ShowActive(window);
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : window;
        QTest::keyClick(target, Qt::Key_F1);
        EXPECT_EQ(opened, (QList<Opened>{{window, topic}})) << window->objectName().toStdString();
        window->hide();
    }
    opened.clear();
    directory.setHelpContext(9);
    ShowActive(&directory);
    QTest::keyClick(&directory, Qt::Key_F1);
    EXPECT_EQ(opened, (QList<Opened>{{&directory, 9}})) << "a dialog with a help topic of its own uses it";
}

TEST_F(DeskUseTest, EveryControlHasANameForAssistiveTools) {
    MainWindow main(tables, currentAgenda);
    DataDirectoryWindow init(walkTable);
    AgendaWindow agenda(currentAgenda);
    InfoWindow about;
    DirectoryDialogWindow directory;
    directory.applyLayout(true, true);
    init.setPathLocked(true);
    for (QWidget *window : std::initializer_list<QWidget *>{&main, &init, &agenda, &about, &directory}) {
        window->show();
        for (QWidget *control : window->findChildren<QWidget *>()) {
            if (control->focusPolicy() == Qt::NoFocus || !control->isVisibleTo(window) ||
                control->objectName().startsWith("qt_"))
                continue;
            QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control);
            ASSERT_NE(accessible, nullptr);
            EXPECT_FALSE(accessible->text(QAccessible::Name).trimmed().isEmpty())
                << window->objectName().toStdString() << "/" << control->objectName().toStdString() << " ("
                << control->metaObject()->className() << ")";
        }
        window->hide();
    }
}

TEST_F(DeskUseTest, PathButtonIsNamedAndExplainedInBothStates) {
    DataDirectoryWindow init(walkTable);
    init.setPathLocked(true);
    EXPECT_EQ(Named<QPushButton>(init, "Button3")->text(), "<>") << "the caption stays";
    EXPECT_EQ(Named<QPushButton>(init, "Button3")->toolTip(), "Odemknout cestu k adresáři DATA");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Named<QPushButton>(init, "Button3"))->text(QAccessible::Name),
              "Odemknout cestu k adresáři DATA");
    init.setPathLocked(false);
    EXPECT_EQ(Named<QPushButton>(init, "Button3")->text(), "...");
    EXPECT_EQ(Named<QPushButton>(init, "Button3")->toolTip(), "Vybrat adresář DATA");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Named<QPushButton>(init, "Button3"))->text(QAccessible::Name),
              "Vybrat adresář DATA");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Named<QLineEdit>(init, "Edit1"))->text(QAccessible::Name),
              "Cesta k adresáři DATA");
}

TEST_F(DeskUseTest, ReportBoxIsNamedAndTheGaugeIsAProgressBarWithItsValue) {
    MainWindow main(tables, currentAgenda);
    main.show();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Named<ReportBox>(main, "RichEdit1"))->text(QAccessible::Name),
              "Protokol kontrol");
    EXPECT_FALSE(Named<ReportBox>(main, "RichEdit1")->isReadOnly()) << "the user can still type into it";

    QAccessibleInterface *gauge = QAccessible::queryAccessibleInterface(Named<ProgressGauge>(main, "Gauge1"));
    ASSERT_NE(gauge, nullptr);
    EXPECT_EQ(gauge->role(), QAccessible::ProgressBar);
    EXPECT_EQ(gauge->text(QAccessible::Name), "Průběh kontroly");
    QAccessibleValueInterface *value = gauge->valueInterface();
    ASSERT_NE(value, nullptr);
    Named<ProgressGauge>(main, "Gauge1")->setMaximum(200);
    Named<ProgressGauge>(main, "Gauge1")->setProgress(50);
    EXPECT_EQ(value->currentValue().toInt(), 50);
    EXPECT_EQ(value->maximumValue().toInt(), 200);
    EXPECT_EQ(value->minimumValue().toInt(), 0);
    EXPECT_EQ(gauge->text(QAccessible::Value), "25%");
}

QPalette DarkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(45, 45, 45));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Button, QColor(53, 53, 53));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    return dark;
}

TEST_F(DeskUseTest, BlueCaptionsArePureBlueOnLightAndReadableOnDarkWithTheirMeaningAsTooltip) {
    QPalette light;
    light.setColor(QPalette::Window, QColor(239, 239, 239));
    QApplication::setPalette(light);
    MainWindow main(tables, currentAgenda);
    for (int n = 1; n <= 15; ++n) {
        const QCheckBox *box = NumberedCheckBox(main, n);
        const bool blue = n >= 6 && n <= 13;
        if (blue) {
            EXPECT_EQ(box->palette().color(QPalette::WindowText), QColor(0, 0, 255)) << n;
            EXPECT_EQ(box->toolTip(), "Modře označená kontrola: nalezená položka nemusí být chybou.") << n;
            EXPECT_EQ(box->accessibleDescription(), box->toolTip()) << n;
        } else {
            EXPECT_EQ(box->palette().color(QPalette::WindowText), main.palette().color(QPalette::WindowText)) << n;
            EXPECT_TRUE(box->toolTip().isEmpty()) << n;
        }
    }

    QApplication::setPalette(DarkPalette()); // the desktop switches to a dark scheme while it runs
    QCoreApplication::processEvents();
    const auto windowColour = [&] {
        const QColor c = main.palette().color(QPalette::Window);
        return Rgb{c.red(), c.green(), c.blue()};
    };
    EXPECT_EQ(windowColour(), (Rgb{45, 45, 45}));
    for (int n = 6; n <= 13; ++n) {
        const QColor caption = NumberedCheckBox(main, n)->palette().color(QPalette::WindowText);
        EXPECT_GE(ContrastRatio({caption.red(), caption.green(), caption.blue()}, windowColour()), 4.5) << n;
        EXPECT_GT(caption.blue(), caption.red()) << "still blue";
        EXPECT_EQ(NumberedCheckBox(main, n)->text(), NumberedCheckBox(main, n)->text()) << "captions never change";
    }
    EXPECT_EQ(NumberedCheckBox(main, 1)->palette().color(QPalette::WindowText), QColor(230, 230, 230));

    QApplication::setPalette(light);
    QCoreApplication::processEvents();
    EXPECT_EQ(NumberedCheckBox(main, 6)->palette().color(QPalette::WindowText), QColor(0, 0, 255)) << "and back";
}

TEST_F(DeskUseTest, DirectoryDialogShowsNoTitleButIsNamedForScreenReaders) {
    DirectoryDialogWindow directory;
    EXPECT_EQ(Named<QLabel>(directory, "Label1")->text(), "Adresář");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&directory)->text(QAccessible::Name), "Výběr adresáře");
}

TEST_F(DeskUseTest, ScreenReadersHearAWindowAndNamesNotCaptionsOrValues) {
    MainWindow main(tables, currentAgenda);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&main)->role(), QAccessible::Window) << "not a filler";
    DataDirectoryWindow init(walkTable);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Named<QPushButton>(init, "Button1"))->text(QAccessible::Name),
              "Další");
    DirectoryDialogWindow directory;
    ASSERT_TRUE(directory.setDirectory(QDir::rootPath()));
    // Qt's own combo box is named by its value on Linux.
    QAccessibleInterface *drives = QAccessible::queryAccessibleInterface(Named<QComboBox>(directory, "DriveComboBox"));
    EXPECT_EQ(drives->role(), QAccessible::ComboBox);
    EXPECT_EQ(drives->text(QAccessible::Name), "Jednotky");
    EXPECT_EQ(drives->text(QAccessible::Value), Named<QComboBox>(directory, "DriveComboBox")->currentText());
    EXPECT_FALSE(drives->text(QAccessible::Value).isEmpty());
    ASSERT_EQ(drives->childCount(), 1) << "the list of drives";
    EXPECT_EQ(drives->indexOfChild(drives->child(0)), 0);
    ASSERT_FALSE(drives->relations(QAccessible::Label).isEmpty());
    EXPECT_EQ(drives->relations(QAccessible::Label).front().first->text(QAccessible::Name), "Jednotky");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Named<QLabel>(directory, "LDirLabel"))->text(QAccessible::Name),
              directory.directory());
    const auto box = MakeMessageBox(nullptr, "Error", "Text", BoxIcon::Error);
    EXPECT_EQ(box->findChild<QLabel *>("qt_msgboxex_icon_label")->accessibleName(), "Chyba");
}

// Everything assistive tools were told, by kind.
QMap<QAccessible::Event, QStringList> told;
void Tell(QAccessibleEvent *event) {
    QString what = event->object() ? event->object()->objectName() : QString();
    if (event->type() == QAccessible::TextInserted)
        what += ":" + static_cast<QAccessibleTextInsertEvent *>(event)->textInserted();
    told[event->type()] << what;
}

// Assistive tools hear nothing on the test machine (no accessibility bus), so the run's events are
// handed to the filter that a run installs, as Qt would hand them.
TEST(RunAnnouncementsTest, ARunIsToldAboutOnceASecondAndItsEndOnce) {
    QWidget window;
    auto *report = new ReportBox(&window);
    report->setObjectName("RichEdit1");
    auto *gauge = new ProgressGauge(&window);
    gauge->setObjectName("Gauge1");
    auto *other = new QPushButton("Info", &window);
    const QAccessible::UpdateHandler previous = QAccessible::installUpdateHandler(&Tell);
    told.clear();
    qint64 now = 0;
    RunAnnouncements announcements(report, gauge, [&now] { return now; });
    announcements.beginRun();
    const QAccessible::UpdateHandler filter = QAccessible::installUpdateHandler(nullptr);
    QAccessible::installUpdateHandler(filter);
    ASSERT_NE(filter, &Tell);
    for (int i = 1; i <= 1000; ++i) { // ten seconds of a run: a line and a gauge step every 10 ms
        now += 10;
        QAccessibleTextInsertEvent line(report, 0, QStringLiteral("Duplicitní číslo %1").arg(i));
        QAccessibleTextCursorEvent caret(report, i);
        QAccessibleValueChangeEvent step(gauge, i);
        for (QAccessibleEvent *event : std::initializer_list<QAccessibleEvent *>{&line, &caret, &step})
            filter(event);
    }
    QAccessibleEvent focus(other, QAccessible::Focus);
    filter(&focus);
    for (const char *line : {"", "==========", "Dokončeno", "=========="})
        report->appendLine(line);
    report->flushPendingLines();
    EXPECT_EQ(told.value(QAccessible::TextInserted), QStringList()) << "the lines are not read one by one";
    EXPECT_EQ(told.value(QAccessible::TextCaretMoved), QStringList());
    EXPECT_EQ(told.value(QAccessible::Focus).size(), 1) << "the rest of the window is heard as ever";
    EXPECT_EQ(told.value(QAccessible::ValueChanged).size(), 10) << "the gauge once a second";
    announcements.endRun();
    EXPECT_EQ(told.value(QAccessible::TextInserted), QStringList{"RichEdit1:Dokončeno"}) << "the end, once";
    EXPECT_EQ(told.value(QAccessible::ValueChanged).size(), 11) << "and the gauge's last value";
    EXPECT_EQ(QAccessible::installUpdateHandler(previous), &Tell) << "the run's filter is gone";
}

TEST(DesktopIntegration, DesktopFileNameAndWindowClassMatchTheLauncher) {
    InitialiseApplication();
    EXPECT_EQ(QGuiApplication::desktopFileName(), "cz.vrelmont.Vrelmont");
    const QString path = QStringLiteral(VRELMONT_SOURCE_DIR "/dist/") + QGuiApplication::desktopFileName() + ".desktop";
    ASSERT_TRUE(QFile::exists(path)) << path.toStdString();
    QSettings desktop(path, QSettings::IniFormat);
    desktop.beginGroup("Desktop Entry");
    // The X11 window class of a Qt program is its application name.
    EXPECT_EQ(desktop.value("StartupWMClass").toString(), QCoreApplication::applicationName());
    EXPECT_EQ(desktop.value("Exec").toString(), "vrelmont");
}

} // namespace
