#include "dialogs/Modal.h"
#include "dialogs/TfrmAbout.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace vrelmont::ui;
namespace seam = vrelmont::ui::testing;

namespace {

class TfrmAboutTest : public ::testing::Test {
protected:
    ~TfrmAboutTest() override { seam::ClearModalHandlers(); }
    TfrmAbout window;
};

TEST_F(TfrmAboutTest, RowsAndPlaces) {
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
        {window.lblNameCaption, window.lblName, 16, "Název:", "Vrelmont", 193},
        {window.lblVersionCaption, window.Label8, 32, "Verze:", "", 73},
        {window.lblCopyrightCaption, window.lblCopyright, 64, "Copyright:", "© 2026 Vrelmont", 193},
        {window.lblEmailCaption, window.lblEmail, 80, "E-mail:", "podpora@vrelmont.cz", 193},
        {window.lblInternetCaption, window.lblInternet, 96, "Internet:", "https://www.vrelmont.cz", 193},
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
    EXPECT_EQ(window.Bevel1->geometry(), QRect(16, 128, 321, 2));
    EXPECT_EQ(window.Bevel1->frameShape(), QFrame::HLine);
    EXPECT_EQ(window.Button1->text(), "OK");
    EXPECT_EQ(window.Button1->geometry(), QRect(242, 144, 95, 25));
}

TEST_F(TfrmAboutTest, ShowsTheVersionWithOkFocusedAndKeepsItAfterwards) {
    QString shownVersion;
    QWidget *focused = nullptr;
    int focusable = 0;
    seam::PushModalHandler([&](QDialog *dialog) {
        shownVersion = window.Label8->text();
        focused = dialog->focusWidget();
        for (QWidget *child : dialog->findChildren<QWidget *>())
            focusable += (child->focusPolicy() & Qt::TabFocus) ? 1 : 0;
        window.Button1->click();
        return dialog->result();
    });
    EXPECT_EQ(window.ShowWithVersion("1.10"), QDialog::Accepted);
    EXPECT_EQ(shownVersion, "1.10");
    EXPECT_EQ(focused, window.Button1);
    EXPECT_EQ(focusable, 1) << "OK is the only control that takes the focus";
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.Label8->text(), "1.10");
}

TEST_F(TfrmAboutTest, CloseBoxEndsTheShowingToo) {
    seam::PushModalHandler([&](QDialog *dialog) {
        dialog->close();
        return dialog->result();
    });
    EXPECT_EQ(window.ShowWithVersion("2.0"), QDialog::Rejected);
    EXPECT_FALSE(window.isVisible());
}

} // namespace
