// The windows' font: 8 points, 11 pixels at 96 dots per inch and more on a denser screen, with every
// Czech letter, and every window still shows its longest texts unclipped in its fixed places.
#include "dialogs/DirectoryDialogWindow.h"
#include "engine/TBFTable.h"
#include "location/CurrentAgenda.h"
#include "windows/AgendaWindow.h"
#include "windows/DataDirectoryWindow.h"
#include "windows/EngineTables.h"
#include "windows/InfoWindow.h"
#include "windows/MainWindow.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <gtest/gtest.h>

#include "LayoutChecks.h"

#include <functional>
#include <memory>

using namespace vrelmont;
using namespace vrelmont::ui;
using namespace vrelmont::ui::test;

namespace {

const QString kCzechLetters = QStringLiteral("áčďéěíňóřšťúůýžÁČĎÉĚÍŇÓŘŠŤÚŮÝŽ");

struct Parts {
    CurrentAgenda agenda;
    TBFTable engineTestTable;
    EngineTables tables;
};

TEST(WindowFont, ElevenPixelsAtNinetySixDpiWithCzechLettersInEveryWindow) {
    Parts parts;
    const std::function<std::unique_ptr<QWidget>()> windows[] = {
        [&] { return std::make_unique<MainWindow>(parts.tables, parts.agenda); },
        [&] {
            auto window = std::make_unique<DataDirectoryWindow>(parts.engineTestTable);
            window->setProgramVersion(QStringLiteral("1.10"));
            window->setPathLocked(true); // "<>" on the button
            return window;
        },
        [&] { return std::make_unique<AgendaWindow>(parts.agenda); },
        [] { return std::make_unique<InfoWindow>(); },
        [] { return std::make_unique<DirectoryDialogWindow>(); },
    };
    for (const auto &make : windows) {
        const std::unique_ptr<QWidget> window = make();
        const std::string name = window->objectName().toStdString();
        EXPECT_EQ(QFontInfo(window->font()).pixelSize(), qRound(11 * window->logicalDpiY() / 96.0)) << name;
        const QFontMetrics metrics(window->font());
        for (const QChar letter : kCzechLetters)
            EXPECT_TRUE(metrics.inFont(letter)) << name << " lacks " << QString(letter).toStdString();
        EXPECT_EQ(LayoutFaults(window.get()), Faults()) << name;
    }
}

} // namespace
