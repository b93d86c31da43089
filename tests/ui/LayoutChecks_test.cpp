#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>

#include "LayoutChecks.h"

using namespace vrelmont::ui::test;

namespace {

template <typename Control> Control *Place(QWidget *parent, const char *name, const QString &text, QRect place) {
    auto *control = new Control(text, parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(place);
    return control;
}

// The checks themselves: a layout that breaks each rule once is told, rule by rule.
TEST(LayoutChecks, NameEachBrokenRule) {
    QWidget window;
    window.resize(200, 100);
    Place<QPushButton>(&window, "Fits", QStringLiteral("OK"), {8, 8, 75, 25});
    Place<QPushButton>(&window, "Neighbour", QStringLiteral("Zpět"), {82, 8, 75, 25}); // shares a border: fine
    Place<QPushButton>(&window, "Clipped", QStringLiteral("Uložit protokol do souboru"), {8, 40, 40, 25});
    Place<QPushButton>(&window, "Covering", QStringLiteral("X"), {30, 45, 30, 25});
    Place<QLabel>(&window, "Outside", QStringLiteral("a"), {190, 90, 20, 17});
    auto *frame = new QFrame(&window); // a bevel round the first two
    frame->setObjectName(QStringLiteral("Bevel1"));
    frame->setGeometry(4, 4, 160, 33);
    Place<QCheckBox>(&window, "Wide", QStringLiteral("a"), {8, 70, 150, 17}); // room to spare right of "a"
    Place<QLabel>(&window, "RightOfCaption", QStringLiteral("b"), {100, 70, 30, 17});

    const Faults faults = LayoutFaults(&window);
    ASSERT_EQ(faults.size(), 3u) << ::testing::PrintToString(faults);
    EXPECT_EQ(faults[0].rfind("Clipped at 8,40 40×25: caption clipped, needs ", 0), 0u) << faults[0];
    EXPECT_EQ(faults[1], "Outside at 190,90 20×17: outside  (0,0 200×100)");
    EXPECT_EQ(faults[2].rfind("Clipped at 8,40 40×25 overlaps Covering at 30,45 30×25", 0), 0u) << faults[2];
}

TEST(LayoutChecks, PlacesAreComparedWholeOrByPositionOnly) {
    QWidget window;
    Place<QPushButton>(&window, "Button1", QStringLiteral("OK"), {8, 8, 75, 25});
    Place<QLabel>(&window, "Label1", QStringLiteral("Text"), {8, 40, 50, 17});
    EXPECT_EQ(PlaceFaults(&window, {{"Button1", {8, 8}, {75, 25}}, {"Label1", {8, 40}, {}}}), Faults());
    EXPECT_EQ(PlaceFaults(&window, {{"Button1", {8, 8}, {75, 26}}, {"Label1", {9, 40}, {}}, {"Edit1", {0, 0}, {}}}),
              (Faults{"Button1: at 8,8 75×25, fixed 8,8 75×26", "Label1: at 8,40 50×17, fixed 9,40 50×17",
                      "Edit1: missing"}));
}

} // namespace
