#include "dialogs/Modal.h"
#include "windows/InfoWindow.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

#include "LayoutChecks.h"
#include "UiTestHelpers.h"

using namespace vrelmont::ui;
using namespace vrelmont::ui::test;
namespace seam = vrelmont::ui::testing;

namespace {

class InfoWindowTest : public ::testing::Test {
protected:
    ~InfoWindowTest() override { seam::ClearModalHandlers(); }
    InfoWindow window;
};

TEST_F(InfoWindowTest, RowsAndCaptions) {
    EXPECT_EQ(window.windowTitle(), "Informace");
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);

    const struct {
        QLabel *caption;
        QLabel *value;
        const char *captionText;
        QString valueText;
    } rows[] = {
        {Named<QLabel>(window, "lblNameCaption"), Named<QLabel>(window, "lblName"), "Název:", "Vrelmont"},
        {Named<QLabel>(window, "lblVersionCaption"), Named<QLabel>(window, "Label8"), "Verze:", ""},
        {Named<QLabel>(window, "lblCopyrightCaption"), Named<QLabel>(window, "lblCopyright"),
         "Copyright:", "© 2026 Vrelmont"},
        {Named<QLabel>(window, "lblEmailCaption"), Named<QLabel>(window, "lblEmail"), "E-mail:", "podpora@vrelmont.cz"},
        {Named<QLabel>(window, "lblInternetCaption"), Named<QLabel>(window, "lblInternet"),
         "Internet:", "https://www.vrelmont.cz"},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(row.caption->text(), QString::fromUtf8(row.captionText));
        EXPECT_EQ(row.value->text(), row.valueText);
    }
    EXPECT_EQ(Named<QFrame>(window, "Bevel1")->frameShape(), QFrame::HLine);
    EXPECT_EQ(Named<QPushButton>(window, "Button1")->text(), "OK");
}

TEST_F(InfoWindowTest, LayoutKeepsItsPlacesAndHidesNothing) {
    EXPECT_EQ(window.size(), QSize(348, 179)) << "the client area";
    EXPECT_EQ(window.pos(), QPoint(201, 140));
    // Captions at left 16, 73 wide; values at left 104, 193 wide, the version's 73; all 17 high.
    EXPECT_EQ(PlaceFaults(&window, {{"lblNameCaption", {16, 16}, {73, 17}},
                                    {"lblName", {104, 16}, {193, 17}},
                                    {"lblVersionCaption", {16, 32}, {73, 17}},
                                    {"Label8", {104, 32}, {73, 17}},
                                    {"lblCopyrightCaption", {16, 64}, {73, 17}},
                                    {"lblCopyright", {104, 64}, {193, 17}},
                                    {"lblEmailCaption", {16, 80}, {73, 17}},
                                    {"lblEmail", {104, 80}, {193, 17}},
                                    {"lblInternetCaption", {16, 96}, {73, 17}},
                                    {"lblInternet", {104, 96}, {193, 17}},
                                    {"Bevel1", {16, 128}, {321, 2}},
                                    {"Button1", {242, 144}, {95, 25}}}),
              Faults());
    Faults shownFaults;
    seam::PushModalHandler([&](QDialog *dialog) {
        shownFaults = LayoutFaults(dialog); // with the version row filled in
        return QDialog::Rejected;
    });
    window.showWithVersion("1.10");
    EXPECT_EQ(shownFaults, Faults());
    EXPECT_EQ(TabOrder(&window), QStringList{"Button1"});
}

TEST_F(InfoWindowTest, ShowsTheVersionWithOkFocusedAndKeepsItAfterwards) {
    QString shownVersion;
    QWidget *focused = nullptr;
    int focusable = 0;
    seam::PushModalHandler([&](QDialog *dialog) {
        shownVersion = Named<QLabel>(window, "Label8")->text();
        focused = dialog->focusWidget();
        for (QWidget *child : dialog->findChildren<QWidget *>())
            focusable += (child->focusPolicy() & Qt::TabFocus) ? 1 : 0;
        Named<QPushButton>(window, "Button1")->click();
        return dialog->result();
    });
    EXPECT_EQ(window.showWithVersion("1.10"), QDialog::Accepted);
    EXPECT_EQ(shownVersion, "1.10");
    EXPECT_EQ(focused, Named<QPushButton>(window, "Button1"));
    EXPECT_EQ(focusable, 1) << "OK is the only control that takes the focus";
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(Named<QLabel>(window, "Label8")->text(), "1.10");
}

TEST_F(InfoWindowTest, CloseBoxEndsTheShowingToo) {
    seam::PushModalHandler([&](QDialog *dialog) {
        dialog->close();
        return dialog->result();
    });
    EXPECT_EQ(window.showWithVersion("2.0"), QDialog::Rejected);
    EXPECT_FALSE(window.isVisible());
}

} // namespace
