// Czech capitals whole wherever an agenda's name or a path is shown: each control is rendered
// offscreen with "ŽČŘŠĎŤŇ" in it, and its letters must keep as much ink, top to bottom, as the same
// text drawn with nothing around it. A row, field or label that cuts off the háček fails.
#include "dialogs/DirectoryDialogWindow.h"
#include "engine/TBFTable.h"
#include "location/CurrentAgenda.h"
#include "widgets/ReportBox.h"
#include "windows/AgendaWindow.h"
#include "windows/DataDirectoryWindow.h"
#include "windows/EngineTables.h"
#include "windows/MainWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <gtest/gtest.h>

#include "UiTestHelpers.h"

#include <functional>
#include <memory>

using namespace vrelmont;
using namespace vrelmont::ui;
using namespace vrelmont::ui::test;

namespace {

const QString kCapitals = QStringLiteral("ŽČŘŠĎŤŇ");

// Rows of `image` within `area` that hold ink: dark text on the light default palette.
int InkHeight(const QImage &image, const QRect &area) {
    int top = -1;
    int bottom = -1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 100) {
                top = top < 0 ? y : top;
                bottom = y;
                break;
            }
        }
    }
    return top < 0 ? 0 : bottom - top + 1;
}

// The text drawn alone, with room all around it.
int FreeInkHeight(const QFont &font) {
    QImage image(400, 120, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPoint(20, 70), kCapitals);
    }
    return InkHeight(image, image.rect());
}

struct Shown {
    std::shared_ptr<QWidget> window; // keeps the control alive
    QWidget *control;
    std::function<QRect()> textArea; // in the control, without its frame and buttons, once shown
};

QRect Inside(const QWidget *control, int frame) {
    return control->rect().adjusted(frame, frame, -frame, -frame);
}

Shown InList(std::shared_ptr<QWidget> window, const char *name) {
    auto *list = Named<QListWidget>(window.get(), name);
    list->clear();
    list->addItem(kCapitals);             // one row: the ink of a second would join the first's
    list->setCurrentIndex(QModelIndex()); // no focus frame or highlight around the row
    return {window, list, [list] { return list->viewport()->geometry(); }};
}

Shown InLabel(std::shared_ptr<QWidget> window, const char *name) {
    auto *label = Named<QLabel>(window.get(), name);
    label->setText(kCapitals);
    return {window, label, [label] { return label->rect(); }};
}

// What the windows are built on; nothing of it is used while they are only shown.
struct Parts {
    CurrentAgenda agenda;
    TBFTable engineTestTable;
    EngineTables tables;
};

struct Case {
    const char *what;
    std::function<Shown(Parts &)> show;
};

const Case kCases[] = {
    {"agenda list", [](Parts &p) { return InList(std::make_shared<AgendaWindow>(p.agenda), "ListBox1"); }},
    {"agenda status line", [](Parts &p) { return InLabel(std::make_shared<AgendaWindow>(p.agenda), "Label1"); }},
    {"path field",
     [](Parts &p) {
         auto window = std::make_shared<DataDirectoryWindow>(p.engineTestTable);
         window->setDataPath(kCapitals);
         window->setPathLocked(true); // read-only, and drawn like any text
         auto *edit = Named<QLineEdit>(window.get(), "Edit1");
         return Shown{window, edit, [edit] { return Inside(edit, 3); }};
     }},
    {"folder list", [](Parts &) { return InList(std::make_shared<DirectoryDialogWindow>(), "DirectoryListBox"); }},
    {"file list", [](Parts &) { return InList(std::make_shared<DirectoryDialogWindow>(), "FileListBox"); }},
    {"current folder", [](Parts &) { return InLabel(std::make_shared<DirectoryDialogWindow>(), "LDirLabel"); }},
    {"drive selector",
     [](Parts &) {
         auto window = std::make_shared<DirectoryDialogWindow>();
         auto *drives = Named<QComboBox>(window.get(), "DriveComboBox");
         drives->insertItem(0, kCapitals);
         drives->setCurrentIndex(0);
         return Shown{window, drives, [drives] {
                          QStyleOptionComboBox option;
                          option.initFrom(drives);
                          return drives->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                                 QStyle::SC_ComboBoxEditField, drives);
                      }};
     }},
    {"report header",
     [](Parts &p) {
         auto window = std::make_shared<MainWindow>(p.tables, p.agenda);
         auto *report = Named<ReportBox>(window.get(), "RichEdit1");
         report->appendLine(kCapitals);
         report->flushPendingLines();
         return Shown{window, report, [report] { return report->viewport()->geometry(); }};
     }},
};

TEST(WholeLetters, CzechCapitalsKeepTheirHacekWhereNamesAndPathsAreShown) {
    Parts parts;
    for (const Case &c : kCases) {
        const Shown shown = c.show(parts);
        shown.window->setAttribute(Qt::WA_ShowWithoutActivating);
        shown.window->show();
        QApplication::processEvents();
        if (QWidget *focused = QApplication::focusWidget())
            focused->clearFocus(); // no text cursor among the letters
        QApplication::processEvents();
        const QImage image = shown.control->grab().toImage();
        const qreal scale = image.devicePixelRatio();
        const QRect textArea = shown.textArea();
        const QRect area(textArea.topLeft() * scale, textArea.size() * scale);
        QFont font = shown.control->font();
        font.setPixelSize(qRound(QFontInfo(font).pixelSize() * scale));
        EXPECT_GE(InkHeight(image, area), FreeInkHeight(font)) << c.what;
        shown.window->hide();
    }
}

} // namespace
