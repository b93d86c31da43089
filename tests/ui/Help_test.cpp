#include "dialogs/HelpBrowserWindow.h"
#include "dialogs/HelpViewer.h"
#include "dialogs/Modal.h"
#include "engine/TBFTable.h"
#include "windows/DataDirectoryWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>
#include <gtest/gtest.h>

#include "UiTestHelpers.h"

using namespace vrelmont;
using namespace vrelmont::ui;
using namespace vrelmont::ui::test;
namespace seam = vrelmont::ui::testing;

namespace {

class HelpTest : public ::testing::Test {
protected:
    HelpTest() { seam::RecordMessageBoxes(true); }
    ~HelpTest() override {
        seam::RecordMessageBoxes(false);
        seam::SetHelpTopicOpener({});
        seam::SetUrlOpener({});
        seam::SetHelpDocumentCandidates({});
    }
    QTemporaryDir tmp;
};

TEST_F(HelpTest, NapovedaOpensTopicOne) {
    TBFTable walkTable;
    DataDirectoryWindow window(walkTable);
    QList<int> topics;
    seam::SetHelpTopicOpener([&](QWidget *parent, int topic) {
        EXPECT_EQ(parent, &window);
        topics << topic;
    });
    Named<QPushButton>(window, "Button4")->click();
    EXPECT_EQ(topics, QList<int>{1});
}

QString ReadText(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TEST_F(HelpTest, TheBrowserGetsAPageThatJumpsToTheTopicsAnchor) {
    const QString missing = tmp.filePath("bin/Vrelmont.html");
    const QString present = tmp.filePath("nápověda a já/Vrelmont.html");
    QDir(tmp.path()).mkpath("nápověda a já");
    QFile(present).open(QIODevice::WriteOnly);
    seam::SetHelpDocumentCandidates({missing, present});
    QList<QUrl> opened;
    seam::SetUrlOpener([&](const QUrl &url) {
        opened << url;
        return true;
    });
    OpenHelpTopic(nullptr, 3);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].isLocalFile());
    EXPECT_TRUE(opened[0].fragment().isEmpty()) << "nothing for the hand-over to lose";
    const QString page = ReadText(opened[0].toLocalFile());
    const QString target = HelpTopicUrl(present, 3).toString(QUrl::FullyEncoded);
    EXPECT_TRUE(target.endsWith("#topic-3")) << target.toStdString();
    EXPECT_FALSE(target.contains(' '));
    EXPECT_TRUE(page.contains("<meta http-equiv=\"refresh\" content=\"0; url=" + target + "\">")) << page.toStdString();
    EXPECT_TRUE(page.contains("location.replace(\"" + target + "\")"));
    EXPECT_TRUE(page.contains("<a href=\"" + target + "\">"));
    EXPECT_TRUE(seam::TakeRecordedBoxes().isEmpty());
}

TEST_F(HelpTest, TheJumpPageIsWrittenOnlyWhereItsDirectoryCanBeMade) {
    const QString document = tmp.filePath("Vrelmont.html");
    EXPECT_TRUE(WriteTopicJumpPage(QString(), HelpTopicUrl(document, 2), 2).isEmpty());
    QFile(tmp.filePath("file")).open(QIODevice::WriteOnly);
    EXPECT_TRUE(WriteTopicJumpPage(tmp.filePath("file/sub"), HelpTopicUrl(document, 2), 2).isEmpty());
    const QString page = WriteTopicJumpPage(tmp.filePath("cache"), HelpTopicUrl(document, 2), 2);
    EXPECT_EQ(page, tmp.filePath("cache/napoveda-2.html"));
    EXPECT_TRUE(ReadText(page).contains("Vrelmont.html#topic-2"));
}

TEST_F(HelpTest, AMissingDocumentIsToldWithThePlacesLookedAt) {
    const QString first = tmp.filePath("Vrelmont.html");
    const QString second = tmp.filePath("share/vrelmont/Vrelmont.html");
    seam::SetHelpDocumentCandidates({first, second});
    bool browserStarted = false;
    seam::SetUrlOpener([&](const QUrl &) { return browserStarted = true; });
    OpenHelpTopic(nullptr, 1);
    EXPECT_FALSE(browserStarted);
    const auto boxes = seam::TakeRecordedBoxes();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].text.startsWith("Nápověda nebyla nalezena.")) << boxes[0].text.toStdString();
    EXPECT_TRUE(boxes[0].text.contains(first));
    EXPECT_TRUE(boxes[0].text.contains(second));
}

// The help's own document, whose topic 5 lies far below the top.
const QString kDocument = QStringLiteral(VRELMONT_SOURCE_DIR "/help/Vrelmont.html");

// Where no browser starts, the program's own viewer shows the topic, beside the window that asked.
void ExpectOwnViewerAtTopicFive(QWidget &caller) {
    auto *viewer = caller.findChild<HelpBrowserWindow *>();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(QFileInfo(viewer->browser()->source().toLocalFile()).fileName(), "Vrelmont.html");
    EXPECT_GT(viewer->browser()->verticalScrollBar()->value(), 0) << "scrolled to #topic-5";
    EXPECT_TRUE(seam::TakeRecordedBoxes().isEmpty());
}

TEST_F(HelpTest, ABrowserThatDoesNotStartLeavesTheTopicToTheOwnViewer) {
    seam::SetHelpDocumentCandidates({kDocument});
    seam::SetUrlOpener([](const QUrl &) { return false; });
    QWidget caller;
    OpenHelpTopic(&caller, 5);
    ExpectOwnViewerAtTopicFive(caller);
    OpenHelpTopic(&caller, 5);
    EXPECT_EQ(caller.findChildren<HelpBrowserWindow *>().size(), 1) << "the same viewer again";

    seam::SetUrlOpener([](const QUrl &) { return true; });
    QWidget withBrowser;
    OpenHelpTopic(&withBrowser, 5);
    EXPECT_EQ(withBrowser.findChild<HelpBrowserWindow *>(), nullptr) << "the browser keeps the help";
}

#ifndef _WIN32
// xdg-open starts, so the desktop's own answer is "opened"; then it finds no browser and says so.
TEST_F(HelpTest, AnXdgOpenThatFindsNoBrowserLeavesTheTopicToTheOwnViewer) {
    const QString script = tmp.filePath("xdg-open");
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\necho 'xdg-open: no method available for opening' >&2\nexit 3\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", tmp.path().toLocal8Bit() + ":" + path);
    seam::SetHelpDocumentCandidates({kDocument});
    QWidget caller;
    OpenHelpTopic(&caller, 5);
    const bool told = QTest::qWaitFor([&] { return caller.findChild<HelpBrowserWindow *>() != nullptr; }, 20000);
    qputenv("PATH", path);
    EXPECT_TRUE(told);
    ExpectOwnViewerAtTopicFive(caller);
}
#endif

TEST(HelpCandidates, BesideTheProgramThenTheInstalledDataDirectory) {
    const QStringList places = HelpDocumentCandidatesFor(QStringLiteral("/opt/vrelmont/bin"));
    ASSERT_GE(places.size(), 2);
    EXPECT_EQ(places[0], QStringLiteral("/opt/vrelmont/bin/Vrelmont.html"));
    EXPECT_EQ(places[1], QStringLiteral("/opt/vrelmont/share/vrelmont/Vrelmont.html"));

    // The running program's own places.
    EXPECT_EQ(HelpDocumentCandidates(), HelpDocumentCandidatesFor(QCoreApplication::applicationDirPath()));
}

} // namespace
