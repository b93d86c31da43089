// Times Start in the main window on an agenda and, in a second run, how long Přerušit takes to stop
// it. Run under a display (xvfb-run) so that the report box is really laid out and painted.
// Usage: vrelmont-bench-gui AGENDA_DIR CHECKS   (CHECKS: "all" or check box numbers such as 1,3)
#include "location/CurrentAgenda.h"
#include "text/PathText.h"
#include "widgets/ReportBox.h"
#include "windows/EngineTables.h"
#include "windows/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <cstdio>

using namespace vrelmont;

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s AGENDA_DIR CHECKS\n", argv[0]);
        return 2;
    }
    CurrentAgenda agenda;
    agenda.agendaDir = NormalizeDirPath(argv[1]);
    const QString checks = QString::fromLocal8Bit(argv[2]);
    const QStringList numbers = checks.split(QLatin1Char(','));
    ui::EngineTables tables;
    ui::MainWindow window(tables, agenda);
    SelectedChecks selected;
    for (int n = 1; n <= SelectedChecks::kCount; ++n)
        selected.set(n, checks == QLatin1String("all") || numbers.contains(QString::number(n)));
    window.setSelectedChecks(selected);
    auto *reportBox = window.findChild<ui::ReportBox *>(QStringLiteral("RichEdit1"));
    auto *start = window.findChild<QPushButton *>(QStringLiteral("Button2"));
    auto *abortButton = window.findChild<QPushButton *>(QStringLiteral("Button3"));
    // The moment the abort line is written is when the run has honoured Přerušit, before the window
    // hands the last lines to its text document.
    QElapsedTimer *abortClock = nullptr;
    qint64 abortLineAt = -1;
    QObject::connect(reportBox, &ui::ReportBox::lineAppended, [&](const QString &line) {
        if (abortClock && line == QStringLiteral("[ kontrola přerušena uživatelem ]"))
            abortLineAt = abortClock->elapsed();
    });
    window.show();
    QApplication::processEvents();

    // Best of three runs, as the script takes the best of three runs of the command.
    QElapsedTimer clock;
    qint64 runMs = -1;
    for (int run = 0; run < 3; ++run) {
        reportBox->clear();
        clock.start();
        start->click();
        const qint64 ms = clock.elapsed();
        runMs = runMs < 0 ? ms : std::min(runMs, ms);
    }
    const auto lines = reportBox->lines().size();

    // Přerušit half-way through one more run: the time from the click to the abort line, and to
    // Start's return.
    reportBox->clear();
    abortClock = &clock;
    qint64 clickedAt = -1;
    QTimer::singleShot(static_cast<int>(runMs / 2), &window, [&] {
        clickedAt = clock.elapsed();
        abortButton->click();
    });
    clock.start();
    start->click();
    const qint64 stoppedAt = clock.elapsed();
    // The click is a timer event: how late it was handled is how long the run kept the user waiting.
    std::printf("run_ms=%lld report_lines=%lld click_handled_late_ms=%lld abort_line_after_ms=%lld "
                "start_returned_after_ms=%lld aborted=%d\n",
                static_cast<long long>(runMs), static_cast<long long>(lines),
                static_cast<long long>(clickedAt - runMs / 2),
                static_cast<long long>(abortLineAt < 0 ? -1 : abortLineAt - clickedAt),
                static_cast<long long>(stoppedAt - clickedAt), window.isAbortRequested() ? 1 : 0);
    return 0;
}
