// Test entry for the windows: the program's application object on the offscreen platform for all
// window tests.
#include "app/VrelmontApplication.h"
#include "dialogs/Modal.h"

#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    vrelmont::ui::VrelmontApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vrelmont"));
    ::testing::InitGoogleTest(&argc, argv);
    // A modal window that nobody answers fails its test at once instead of waiting for ctest's timeout.
    vrelmont::ui::testing::SetUnansweredModalHandler([](QDialog *dialog) {
        ADD_FAILURE() << "the modal window \"" << dialog->objectName().toStdString() << "\" ("
                      << dialog->windowTitle().toStdString() << ") opened with no answer queued";
        return int(QDialog::Rejected);
    });
    return RUN_ALL_TESTS();
}
