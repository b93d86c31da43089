#include "dialogs/Modal.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <gtest/gtest.h>

#include <stdexcept>

namespace seam = vrelmont::ui::testing;

namespace {

class Throwing : public QObject {
protected:
    bool event(QEvent *event) override {
        if (event->type() == QEvent::User)
            throw std::runtime_error("Tabulka /data/SKSEZZAS.DAT: chybí pole Popis");
        return QObject::event(event);
    }
};

TEST(VrelmontApplication, AnErrorFromAnyEventReachesTheGeneralErrorReport) {
    seam::RecordMessageBoxes(true);
    Throwing target;
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    const auto boxes = seam::TakeRecordedBoxes();
    seam::RecordMessageBoxes(false);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].title, QStringLiteral("Vrelmont"));
    EXPECT_EQ(boxes[0].text, QStringLiteral("Tabulka /data/SKSEZZAS.DAT: chybí pole Popis."));
    EXPECT_EQ(boxes[0].icon, vrelmont::ui::BoxIcon::Error);
}

} // namespace
