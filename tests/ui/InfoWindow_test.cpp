#include "dialogs/Modal.h"
#include "windows/InfoWindow.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

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

TEST_F(InfoWindowTest, RowsAndPlaces) {
    EXPECT_EQ(window.windowTitle(), "Informace");
    EXPECT_EQ(window.size(), QSize(348, 179));
    EXPECT_EQ(window.pos(), QPoint(201, 140));
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);

    const struct {
        QLabel *caption;
        QLabel *value;
        int top;
        const char *captionText;
        QString valueText;
        int valueWidth;
    } rows[] = {
        {Named<QLabel>(window, "lblNameCaption"), Named<QLabel>(window, "lblName"), 16, "Název:", "Vrelmont", 193},
        {Named<QLabel>(window, "lblVersionCaption"), Named<QLabel>(window, "Label8"), 32, "Verze:", "", 73},
        {Named<QLabel>(window, "lblCopyrightCaption"), Named<QLabel>(window, "lblCopyright"), 64,
         "Copyright:", "© 2026 Vrelmont", 193},
        {Named<QLabel>(window, "lblEmailCaption"), Named<QLabel>(window, "lblEmail"), 80,
         "E-mail:", "podpora@vrelmont.cz", 193},
        {Named<QLabel>(window, "lblInternetCaption"), Named<QLabel>(window, "lblInternet"), 96,
         "Internet:", "https://www.vrelmont.cz", 193},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(row.caption->text(), QString::fromUtf8(row.captionText));
        EXPECT_EQ(row.caption->geometry(), QRect(16, row.top, 73, 17)) << row.captionText;
        EXPECT_EQ(row.value->text(), row.valueText);
        EXPECT_EQ(row.value->geometry(), QRect(104, row.top, row.valueWidth, 17)) << row.captionText;
        // Nothing may be cut off at the right edge of its label.
        EXPECT_LE(row.caption->fontMetrics().horizontalAdvance(row.caption->text()), row.caption->width());
        EXPECT_LE(row.value->fontMetrics().horizontalAdvance(row.value->text()), row.value->width());
    }
    EXPECT_EQ(Named<QFrame>(window, "Bevel1")->geometry(), QRect(16, 128, 321, 2));
    EXPECT_EQ(Named<QFrame>(window, "Bevel1")->frameShape(), QFrame::HLine);
    EXPECT_EQ(Named<QPushButton>(window, "Button1")->text(), "OK");
    EXPECT_EQ(Named<QPushButton>(window, "Button1")->geometry(), QRect(242, 144, 95, 25));
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
