#include "app/core/ProgramValues.h"
#include "dialogs/HelpViewer.h"
#include "dialogs/Modal.h"
#include "hostdb/TBFTable.h"
#include "location/ui/TfrmInit.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace vrelmont;
using namespace vrelmont::ui;
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
    TfrmInit window(BFTable1);
    QList<int> topics;
    seam::SetHelpTopicOpener([&](QWidget *parent, int topic) {
        EXPECT_EQ(parent, &window);
        topics << topic;
    });
    window.Button4->click();
    EXPECT_EQ(topics, QList<int>{1});
}

TEST_F(HelpTest, TheDocumentIsOpenedAtTheTopicsAnchor) {
    const QString missing = tmp.filePath("bin/Vrelmont.html");
    const QString present = tmp.filePath("Vrelmont.html");
    QFile(present).open(QIODevice::WriteOnly);
    seam::SetHelpDocumentCandidates({missing, present});
    QList<QUrl> opened;
    seam::SetUrlOpener([&](const QUrl &url) {
        opened << url;
        return true;
    });
    OpenHelpTopic(nullptr, 1);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].toLocalFile(), present);
    EXPECT_EQ(opened[0].fragment(), "topic-1");
    EXPECT_TRUE(seam::TakeRecordedBoxes().isEmpty());
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

TEST(HelpCandidates, TheStartUpPathThenBesideTheProgramThenTheInstalledDataDirectory) {
    const QStringList places = HelpDocumentCandidatesFor(QStringLiteral("/opt/vrelmont/bin"));
    ASSERT_GE(places.size(), 2);
    EXPECT_EQ(places[0], QStringLiteral("/opt/vrelmont/bin/Vrelmont.html"));
    EXPECT_EQ(places[1], QStringLiteral("/opt/vrelmont/share/vrelmont/Vrelmont.html"));

    const std::string saved = vrelmont::HelpFilePath;
    vrelmont::HelpFilePath = "/somewhere/else/Vrelmont.html";
    const QStringList candidates = HelpDocumentCandidates();
    vrelmont::HelpFilePath = saved;
    ASSERT_GE(candidates.size(), 3);
    EXPECT_EQ(candidates[0], QStringLiteral("/somewhere/else/Vrelmont.html"));
    EXPECT_TRUE(candidates[1].endsWith("/Vrelmont.html"));
}

} // namespace
