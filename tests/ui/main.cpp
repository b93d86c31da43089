// Test entry for the windows: the program's application object on the offscreen platform for all
// window tests.
#include "app/VrelmontApplication.h"

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
    return RUN_ALL_TESTS();
}
