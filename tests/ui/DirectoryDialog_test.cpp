#include "dialogs/DirectoryDialog.h"
#include "dialogs/DirectoryDialogWindow.h"
#include "dialogs/HelpViewer.h"
#include "dialogs/Modal.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "LayoutChecks.h"
#include "UiTestHelpers.h"

#include <functional>

using namespace vrelmont::ui;
namespace seam = vrelmont::ui::testing;

using namespace vrelmont::ui::test;

namespace {

QListWidgetItem *ItemNamed(QListWidget *list, const QString &text) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.front();
}

class DirectoryDialogTest : public ::testing::Test {
protected:
    DirectoryDialogTest() {
        root = QDir(tmp.path()).canonicalPath();
        QDir(root).mkpath("DATA/AGENDA.001");
        QDir(root).mkpath("DATA/Archiv");
        QDir(root).mkpath("DATA/.skryta");
        QFile(root + "/DATA/mons3.ini").open(QIODevice::WriteOnly);
        seam::RecordMessageBoxes(true);
    }
    ~DirectoryDialogTest() override {
        seam::ClearModalHandlers();
        seam::RecordMessageBoxes(false);
        seam::SetHelpTopicOpener({});
    }

    // Runs the dialog; `act` sees its window and answers the modal result.
    bool Run(const std::function<int(DirectoryDialogWindow &)> &act) {
        seam::PushModalHandler([&](QDialog *dialog) { return act(*static_cast<DirectoryDialogWindow *>(dialog)); });
        return component.runDialog();
    }

    QTemporaryDir tmp;
    QString root;
    DirectoryDialog component;
};

TEST_F(DirectoryDialogTest, NarrowWithoutFileListOrHelp) {
    EXPECT_FALSE(component.fileListVisible());
    EXPECT_EQ(component.helpContext(), 0);
    Run([](DirectoryDialogWindow &form) {
        EXPECT_FALSE(Named<QPushButton>(form, "BBHelp")->isVisible());
        EXPECT_FALSE(Named<QListWidget>(form, "FileListBox")->isVisible());
        // Blank, not empty: an empty title makes the platform show the application's name.
        EXPECT_FALSE(form.windowTitle().isEmpty());
        EXPECT_TRUE(form.windowTitle().trimmed().isEmpty());
        EXPECT_FALSE(form.windowFlags() & Qt::WindowCloseButtonHint);
        return QDialog::Rejected;
    });
}

TEST_F(DirectoryDialogTest, WideWithFileListAndHelp) {
    component.setFileListVisible(true);
    component.setHelpContext(7);
    component.setTitle("Vyberte adresář");
    component.setDirectoryName(root + "/DATA");
    Run([](DirectoryDialogWindow &form) {
        EXPECT_TRUE(Named<QPushButton>(form, "BBHelp")->isVisible());
        EXPECT_TRUE(Named<QListWidget>(form, "FileListBox")->isVisible());
        EXPECT_EQ(ListTexts(Named<QListWidget>(form, "FileListBox")), QStringList{"mons3.ini"});
        EXPECT_EQ(form.windowTitle(), "Vyberte adresář");
        return QDialog::Rejected;
    });
}

TEST_F(DirectoryDialogTest, LayoutKeepsItsPlacesAndHidesNothing) {
    // The left half stands alike in both layouts; the buttons stand where the file list would, or
    // right of it.
    const auto leftHalfFaults = [](const DirectoryDialogWindow &form) {
        return PlaceFaults(&form, {{"Label1", {10, 10}, {}},
                                   {"LDirLabel", {10, 30}, {}},
                                   {"DirectoryListBox", {10, 50}, {146, 121}},
                                   {"Label2", {10, 180}, {}},
                                   {"DriveComboBox", {10, 195}, {}}});
    };
    component.setDirectoryName(root + "/DATA");
    Run([&](DirectoryDialogWindow &form) {
        EXPECT_EQ(form.size(), QSize(253, 219)) << "261 wide with the frame";
        EXPECT_EQ(leftHalfFaults(form), Faults());
        EXPECT_EQ(Named<QComboBox>(form, "DriveComboBox")->width(), 145);
        EXPECT_EQ(PlaceFaults(&form, {{"BBOk", {165, 10}, {81, 26}}, {"BBCancel", {165, 40}, {81, 26}}}), Faults());
        EXPECT_EQ(LayoutFaults(&form), Faults());
        return QDialog::Rejected;
    });
    component.setFileListVisible(true);
    component.setHelpContext(7);
    Run([&](DirectoryDialogWindow &form) {
        EXPECT_EQ(form.size(), QSize(410, 219)) << "418 wide with the frame";
        EXPECT_EQ(leftHalfFaults(form), Faults());
        EXPECT_EQ(PlaceFaults(&form, {{"FileListBox", {165, 50}, {145, 164}},
                                      {"BBOk", {320, 10}, {81, 26}},
                                      {"BBCancel", {320, 40}, {81, 26}},
                                      {"BBHelp", {320, 75}, {81, 26}}}),
                  Faults());
        EXPECT_EQ(LayoutFaults(&form), Faults());
        EXPECT_EQ(TabOrder(&form),
                  (QStringList{"DirectoryListBox", "DriveComboBox", "FileListBox", "BBOk", "BBCancel", "BBHelp"}));
        return QDialog::Rejected;
    });
}

TEST_F(DirectoryDialogTest, CaptionsAndNoDefaultButton) {
    DirectoryDialogWindow form;
    EXPECT_EQ(Named<QLabel>(form, "Label1")->text(), "Adresář");
    EXPECT_EQ(Named<QLabel>(form, "Label2")->text(), "Jednotky");
    EXPECT_EQ(Named<QPushButton>(form, "BBOk")->text(), "OK");
    EXPECT_EQ(Named<QPushButton>(form, "BBCancel")->text(), "Zpět");
    EXPECT_EQ(Named<QPushButton>(form, "BBHelp")->text(), "Nápověda");
    for (QPushButton *button :
         {Named<QPushButton>(form, "BBOk"), Named<QPushButton>(form, "BBCancel"), Named<QPushButton>(form, "BBHelp")}) {
        EXPECT_FALSE(button->isDefault());
        EXPECT_FALSE(button->autoDefault());
    }
    EXPECT_EQ(TabOrder(&form),
              (QStringList{"DirectoryListBox", "DriveComboBox", "FileListBox", "BBOk", "BBCancel", "BBHelp"}));
}

TEST_F(DirectoryDialogTest, FolderListShowsThePathFromTheRootThenTheSubfolders) {
    component.setDirectoryName(root + "/DATA");
    Run([&](DirectoryDialogWindow &form) {
        QStringList expected{QDir::rootPath()};
        for (const QString &part : QString(root + "/DATA").split('/', Qt::SkipEmptyParts))
            expected << part;
        expected << "AGENDA.001"
                 << "Archiv";
        EXPECT_EQ(ListTexts(Named<QListWidget>(form, "DirectoryListBox")), expected) << "hidden folders are left out";
        EXPECT_EQ(Named<QListWidget>(form, "DirectoryListBox")->currentItem()->text(), "DATA");
        EXPECT_EQ(Named<QComboBox>(form, "DriveComboBox")->itemText(0), QDir::toNativeSeparators(QDir::rootPath()));
        return QDialog::Rejected;
    });
}

TEST_F(DirectoryDialogTest, OkGivesTheOpenedFolderNotTheHighlightedOne) {
    component.setDirectoryName(root + "/DATA");
    const bool accepted = Run([&](DirectoryDialogWindow &form) {
        Named<QListWidget>(form, "DirectoryListBox")
            ->setCurrentItem(ItemNamed(Named<QListWidget>(form, "DirectoryListBox"), "Archiv"));
        EXPECT_EQ(form.directory(), root + "/DATA") << "a single click only highlights";
        Named<QPushButton>(form, "BBOk")->click();
        return form.result();
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(component.directoryName(), root + "/DATA");
}

TEST_F(DirectoryDialogTest, DoubleClickAndEnterOpenAFolderAndEnterDoesNotClose) {
    component.setDirectoryName(root + "/DATA");
    const bool accepted = Run([&](DirectoryDialogWindow &form) {
        emit Named<QListWidget>(form, "DirectoryListBox")
            ->itemDoubleClicked(ItemNamed(Named<QListWidget>(form, "DirectoryListBox"), "AGENDA.001"));
        EXPECT_EQ(form.directory(), root + "/DATA/AGENDA.001");
        EXPECT_EQ(Named<QLabel>(form, "LDirLabel")->toolTip(), root + "/DATA/AGENDA.001");

        Named<QListWidget>(form, "DirectoryListBox")
            ->setCurrentItem(ItemNamed(Named<QListWidget>(form, "DirectoryListBox"), "DATA"));
        PressKey(Named<QListWidget>(form, "DirectoryListBox"), Qt::Key_Return);
        EXPECT_EQ(form.directory(), root + "/DATA");
        EXPECT_TRUE(form.isVisible()) << "Enter opened the folder and left the dialog open";
        PressKey(Named<QComboBox>(form, "DriveComboBox"), Qt::Key_Return);
        EXPECT_TRUE(form.isVisible()) << "no default button";

        Named<QPushButton>(form, "BBOk")->click();
        return form.result();
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(component.directoryName(), root + "/DATA");
}

TEST_F(DirectoryDialogTest, ZpetAndEscapeAnswerFalseButKeepTheDirectoryShownLast) {
    component.setDirectoryName(root + "/DATA");
    EXPECT_FALSE(Run([&](DirectoryDialogWindow &form) {
        emit Named<QListWidget>(form, "DirectoryListBox")
            ->itemDoubleClicked(ItemNamed(Named<QListWidget>(form, "DirectoryListBox"), "Archiv"));
        Named<QPushButton>(form, "BBCancel")->click();
        return form.result();
    }));
    EXPECT_EQ(component.directoryName(), root + "/DATA/Archiv");

    QString startedIn;
    EXPECT_FALSE(Run([&](DirectoryDialogWindow &form) {
        startedIn = form.directory();
        emit Named<QListWidget>(form, "DirectoryListBox")
            ->itemDoubleClicked(ItemNamed(Named<QListWidget>(form, "DirectoryListBox"), "DATA"));
        PressKey(&form, Qt::Key_Escape);
        return form.result();
    }));
    EXPECT_EQ(startedIn, root + "/DATA/Archiv") << "the next showing starts where the last one ended";
    EXPECT_EQ(component.directoryName(), root + "/DATA");
}

TEST_F(DirectoryDialogTest, MissingStartDirectoryIsIgnoredSilently) {
    component.setDirectoryName(root + "/does/not/exist");
    QString startedIn;
    Run([&](DirectoryDialogWindow &form) {
        startedIn = form.directory();
        return QDialog::Rejected;
    });
    EXPECT_EQ(startedIn, QDir::toNativeSeparators(QDir::currentPath()));
    EXPECT_EQ(component.directoryName(), startedIn);
    EXPECT_TRUE(seam::TakeRecordedBoxes().isEmpty());
}

TEST_F(DirectoryDialogTest, ChoosingADriveMovesToItsRoot) {
    component.setDirectoryName(root + "/DATA");
    Run([&](DirectoryDialogWindow &form) {
        EXPECT_GE(Named<QComboBox>(form, "DriveComboBox")->count(), 1);
        Named<QComboBox>(form, "DriveComboBox")->setCurrentIndex(0);
        emit Named<QComboBox>(form, "DriveComboBox")->activated(0);
        EXPECT_EQ(form.directory(), QDir::toNativeSeparators(QDir::rootPath()));
        EXPECT_EQ(ListTexts(Named<QListWidget>(form, "DirectoryListBox")).front(),
                  QDir::toNativeSeparators(QDir::rootPath()));
        return QDialog::Rejected;
    });
    EXPECT_EQ(component.directoryName(), QDir::toNativeSeparators(QDir::rootPath()));
}

TEST_F(DirectoryDialogTest, LongPathIsShortenedToTheFolderListWidth) {
    const QString deep = root + "/DATA/Velmi dlouhý název adresáře/další úroveň/Účetnictví 2026";
    QDir().mkpath(deep);
    component.setDirectoryName(deep);
    Run([&](DirectoryDialogWindow &form) {
        const QString shown = Named<QLabel>(form, "LDirLabel")->text();
        EXPECT_NE(shown, deep);
        EXPECT_TRUE(shown.contains(QStringLiteral("…"))) << shown.toStdString();
        EXPECT_TRUE(shown.endsWith("Účetnictví 2026")) << shown.toStdString();
        EXPECT_LE(Named<QLabel>(form, "LDirLabel")->fontMetrics().horizontalAdvance(shown),
                  Named<QListWidget>(form, "DirectoryListBox")->width());
        return QDialog::Rejected;
    });
}

TEST_F(DirectoryDialogTest, HelpButtonOpensTheHelpContext) {
    int openedTopic = -1;
    seam::SetHelpTopicOpener([&](QWidget *, int topic) { openedTopic = topic; });
    component.setHelpContext(12);
    Run([](DirectoryDialogWindow &form) {
        Named<QPushButton>(form, "BBHelp")->click();
        EXPECT_TRUE(form.isVisible());
        return QDialog::Rejected;
    });
    EXPECT_EQ(openedTopic, 12);
}

} // namespace
