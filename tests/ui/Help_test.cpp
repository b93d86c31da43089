#include "dialogs/HelpViewer.h"
#include "dialogs/Modal.h"
#include "hostdb/TBFTable.h"
#include "windows/DataDirectoryWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
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
    TBFTable BFTable1;
    DataDirectoryWindow window(BFTable1);
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

TEST_F(HelpTest, ABrowserThatDoesNotStartIsTold) {
    const QString present = tmp.filePath("Vrelmont.html");
    QFile(present).open(QIODevice::WriteOnly);
    seam::SetHelpDocumentCandidates({present});
    seam::SetUrlOpener([](const QUrl &) { return false; });
    OpenHelpTopic(nullptr, 3);
    const auto boxes = seam::TakeRecordedBoxes();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].text.contains("#topic-3")) << boxes[0].text.toStdString();
}

TEST(HelpCandidates, BesideTheProgramThenTheInstalledDataDirectory) {
    const QStringList places = HelpDocumentCandidatesFor(QStringLiteral("/opt/vrelmont/bin"));
    ASSERT_GE(places.size(), 2);
    EXPECT_EQ(places[0], QStringLiteral("/opt/vrelmont/bin/Vrelmont.html"));
    EXPECT_EQ(places[1], QStringLiteral("/opt/vrelmont/share/vrelmont/Vrelmont.html"));

    // The running program's own places.
    EXPECT_EQ(HelpDocumentCandidates(), HelpDocumentCandidatesFor(QCoreApplication::applicationDirPath()));
}

} // namespace
