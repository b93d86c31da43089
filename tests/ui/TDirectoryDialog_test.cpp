#include "dialogs/HelpViewer.h"
#include "dialogs/Modal.h"
#include "dialogs/TDirectoryDialog.h"
#include "dialogs/TFormDirDialog.h"

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

class TDirectoryDialogTest : public ::testing::Test {
protected:
    TDirectoryDialogTest() {
        root = QDir(tmp.path()).canonicalPath();
        QDir(root).mkpath("DATA/AGENDA.001");
        QDir(root).mkpath("DATA/Archiv");
        QDir(root).mkpath("DATA/.skryta");
        QFile(root + "/DATA/mons3.ini").open(QIODevice::WriteOnly);
        seam::RecordMessageBoxes(true);
    }
    ~TDirectoryDialogTest() override {
        seam::ClearModalHandlers();
        seam::RecordMessageBoxes(false);
        seam::SetHelpTopicOpener({});
    }

    // Runs the dialog; `act` sees its window and answers the modal result.
    bool Run(const std::function<int(TFormDirDialog &)> &act) {
        seam::PushModalHandler([&](QDialog *dialog) { return act(*static_cast<TFormDirDialog *>(dialog)); });
        return component.RunDialog();
    }

    QTemporaryDir tmp;
    QString root;
    TDirectoryDialog component;
};

TEST_F(TDirectoryDialogTest, NarrowWithoutFileListOrHelp) {
    EXPECT_FALSE(component.FileListVisible);
    EXPECT_EQ(component.HelpContext, 0);
    Run([](TFormDirDialog &form) {
        EXPECT_EQ(form.size(), QSize(253, 219)) << "261 wide with the frame";
        EXPECT_EQ(form.BBOk->geometry(), QRect(165, 10, 81, 26));
        EXPECT_EQ(form.BBCancel->geometry(), QRect(165, 40, 81, 26));
        EXPECT_FALSE(form.BBHelp->isVisible());
        EXPECT_FALSE(form.FileListBox->isVisible());
        // Blank, not empty: an empty title makes the platform show the application's name.
        EXPECT_FALSE(form.windowTitle().isEmpty());
        EXPECT_TRUE(form.windowTitle().trimmed().isEmpty());
        EXPECT_FALSE(form.windowFlags() & Qt::WindowCloseButtonHint);
        return QDialog::Rejected;
    });
}

TEST_F(TDirectoryDialogTest, WideWithFileListAndHelp) {
    component.FileListVisible = true;
    component.HelpContext = 7;
    component.TitleDialog = "Vyberte adresář";
    component.DirectoryName = root + "/DATA";
    Run([](TFormDirDialog &form) {
        EXPECT_EQ(form.size(), QSize(410, 219)) << "418 wide with the frame";
        EXPECT_EQ(form.BBOk->geometry(), QRect(320, 10, 81, 26));
        EXPECT_EQ(form.BBCancel->geometry(), QRect(320, 40, 81, 26));
        EXPECT_EQ(form.BBHelp->geometry(), QRect(320, 75, 81, 26));
        EXPECT_TRUE(form.BBHelp->isVisible());
        EXPECT_TRUE(form.FileListBox->isVisible());
        EXPECT_EQ(form.FileListBox->geometry(), QRect(165, 50, 145, 164));
        EXPECT_EQ(ListTexts(form.FileListBox), QStringList{"mons3.ini"});
        EXPECT_EQ(form.windowTitle(), "Vyberte adresář");
        return QDialog::Rejected;
    });
}

TEST_F(TDirectoryDialogTest, CaptionsPlacesAndNoDefaultButton) {
    TFormDirDialog form;
    EXPECT_EQ(form.Label1->text(), "Adresář");
    EXPECT_EQ(form.Label1->pos(), QPoint(10, 10));
    EXPECT_EQ(form.LDirLabel->pos(), QPoint(10, 30));
    EXPECT_EQ(form.DirectoryListBox->geometry(), QRect(10, 50, 146, 121));
    EXPECT_EQ(form.Label2->text(), "Jednotky");
    EXPECT_EQ(form.Label2->pos(), QPoint(10, 180));
    EXPECT_EQ(form.DriveComboBox->pos(), QPoint(10, 195));
    EXPECT_EQ(form.DriveComboBox->width(), 145);
    EXPECT_EQ(form.BBOk->text(), "OK");
    EXPECT_EQ(form.BBCancel->text(), "Zpět");
    EXPECT_EQ(form.BBHelp->text(), "Nápověda");
    for (QPushButton *button : {form.BBOk, form.BBCancel, form.BBHelp}) {
        EXPECT_FALSE(button->isDefault());
        EXPECT_FALSE(button->autoDefault());
    }
    EXPECT_EQ(TabOrder(&form),
              (QStringList{"DirectoryListBox", "DriveComboBox", "FileListBox", "BBOk", "BBCancel", "BBHelp"}));
}

TEST_F(TDirectoryDialogTest, FolderListShowsThePathFromTheRootThenTheSubfolders) {
    component.DirectoryName = root + "/DATA";
    Run([&](TFormDirDialog &form) {
        QStringList expected{QDir::rootPath()};
        for (const QString &part : QString(root + "/DATA").split('/', Qt::SkipEmptyParts))
            expected << part;
        expected << "AGENDA.001"
                 << "Archiv";
        EXPECT_EQ(ListTexts(form.DirectoryListBox), expected) << "hidden folders are left out";
        EXPECT_EQ(form.DirectoryListBox->currentItem()->text(), "DATA");
        EXPECT_EQ(form.DriveComboBox->itemText(0), QDir::toNativeSeparators(QDir::rootPath()));
        return QDialog::Rejected;
    });
}

TEST_F(TDirectoryDialogTest, OkGivesTheOpenedFolderNotTheHighlightedOne) {
    component.DirectoryName = root + "/DATA";
    const bool accepted = Run([&](TFormDirDialog &form) {
        form.DirectoryListBox->setCurrentItem(ItemNamed(form.DirectoryListBox, "Archiv"));
        EXPECT_EQ(form.Directory(), root + "/DATA") << "a single click only highlights";
        form.BBOk->click();
        return form.result();
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(component.DirectoryName, root + "/DATA");
}

TEST_F(TDirectoryDialogTest, DoubleClickAndEnterOpenAFolderAndEnterDoesNotClose) {
    component.DirectoryName = root + "/DATA";
    const bool accepted = Run([&](TFormDirDialog &form) {
        emit form.DirectoryListBox->itemDoubleClicked(ItemNamed(form.DirectoryListBox, "AGENDA.001"));
        EXPECT_EQ(form.Directory(), root + "/DATA/AGENDA.001");
        EXPECT_EQ(form.LDirLabel->toolTip(), root + "/DATA/AGENDA.001");

        form.DirectoryListBox->setCurrentItem(ItemNamed(form.DirectoryListBox, "DATA"));
        PressKey(form.DirectoryListBox, Qt::Key_Return);
        EXPECT_EQ(form.Directory(), root + "/DATA");
        EXPECT_TRUE(form.isVisible()) << "Enter opened the folder and left the dialog open";
        PressKey(form.DriveComboBox, Qt::Key_Return);
        EXPECT_TRUE(form.isVisible()) << "no default button";

        form.BBOk->click();
        return form.result();
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(component.DirectoryName, root + "/DATA");
}

TEST_F(TDirectoryDialogTest, ZpetAndEscapeAnswerFalseButKeepTheDirectoryShownLast) {
    component.DirectoryName = root + "/DATA";
    EXPECT_FALSE(Run([&](TFormDirDialog &form) {
        form.OpenFolderItem(ItemNamed(form.DirectoryListBox, "Archiv"));
        form.BBCancel->click();
        return form.result();
    }));
    EXPECT_EQ(component.DirectoryName, root + "/DATA/Archiv");

    QString startedIn;
    EXPECT_FALSE(Run([&](TFormDirDialog &form) {
        startedIn = form.Directory();
        form.OpenFolderItem(ItemNamed(form.DirectoryListBox, "DATA"));
        PressKey(&form, Qt::Key_Escape);
        return form.result();
    }));
    EXPECT_EQ(startedIn, root + "/DATA/Archiv") << "the next showing starts where the last one ended";
    EXPECT_EQ(component.DirectoryName, root + "/DATA");
}

TEST_F(TDirectoryDialogTest, MissingStartDirectoryIsIgnoredSilently) {
    component.DirectoryName = root + "/does/not/exist";
    QString startedIn;
    Run([&](TFormDirDialog &form) {
        startedIn = form.Directory();
        return QDialog::Rejected;
    });
    EXPECT_EQ(startedIn, QDir::toNativeSeparators(QDir::currentPath()));
    EXPECT_EQ(component.DirectoryName, startedIn);
    EXPECT_TRUE(seam::TakeRecordedBoxes().isEmpty());
}

TEST_F(TDirectoryDialogTest, ChoosingADriveMovesToItsRoot) {
    component.DirectoryName = root + "/DATA";
    Run([&](TFormDirDialog &form) {
        EXPECT_GE(form.DriveComboBox->count(), 1);
        form.DriveComboBox->setCurrentIndex(0);
        emit form.DriveComboBox->activated(0);
        EXPECT_EQ(form.Directory(), QDir::toNativeSeparators(QDir::rootPath()));
        EXPECT_EQ(ListTexts(form.DirectoryListBox).front(), QDir::toNativeSeparators(QDir::rootPath()));
        return QDialog::Rejected;
    });
    EXPECT_EQ(component.DirectoryName, QDir::toNativeSeparators(QDir::rootPath()));
}

TEST_F(TDirectoryDialogTest, LongPathIsShortenedToTheFolderListWidth) {
    const QString deep = root + "/DATA/Velmi dlouhý název adresáře/další úroveň/Účetnictví 2026";
    QDir().mkpath(deep);
    component.DirectoryName = deep;
    Run([&](TFormDirDialog &form) {
        const QString shown = form.LDirLabel->text();
        EXPECT_NE(shown, deep);
        EXPECT_TRUE(shown.contains(QStringLiteral("…"))) << shown.toStdString();
        EXPECT_TRUE(shown.endsWith("Účetnictví 2026")) << shown.toStdString();
        EXPECT_LE(form.LDirLabel->fontMetrics().horizontalAdvance(shown), form.DirectoryListBox->width());
        return QDialog::Rejected;
    });
}

TEST_F(TDirectoryDialogTest, HelpButtonOpensTheHelpContext) {
    int openedTopic = -1;
    seam::SetHelpTopicOpener([&](QWidget *, int topic) { openedTopic = topic; });
    component.HelpContext = 12;
    Run([](TFormDirDialog &form) {
        form.BBHelp->click();
        EXPECT_TRUE(form.isVisible());
        return QDialog::Rejected;
    });
    EXPECT_EQ(openedTopic, 12);
}

} // namespace
