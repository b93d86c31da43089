// Times Start in the main window on an agenda and, in a second run, how long Přerušit takes to stop
// it. Run under a display (xvfb-run) so that the report box is really laid out and painted.
// Usage: vrelmont-bench-gui AGENDA_DIR CHECK_NUMBER
#include "app/TReportBox.h"
#include "app/TfrmMain.h"
#include "checks/AbortFlag.h"
#include "hostdb/PathText.h"
#include "location/CurrentAgenda.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

using namespace vrelmont;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s AGENDA_DIR CHECK_NUMBER\n", argv[0]);
        return 2;
    }
    AgendaTablePath = NormalizeDirPath(argv[1]);
    const int check = std::atoi(argv[2]);
    ui::TfrmMain window;
    for (int n = 1; n <= 15; ++n)
        window.checkBox(n)->setChecked(n == check);
    window.show();
    QApplication::processEvents();

    QElapsedTimer clock;
    clock.start();
    window.Button2->click();
    const qint64 runMs = clock.elapsed();
    const auto lines = window.RichEdit1->lines().size();

    // Přerušit half-way through a second run: the time from the click to Start's return.
    qint64 clickedAt = -1;
    QTimer::singleShot(static_cast<int>(runMs / 2), &window, [&] {
        clickedAt = clock.elapsed();
        window.Button3->click();
    });
    clock.restart();
    window.Button2->click();
    const qint64 stoppedAt = clock.elapsed();
    std::printf("run_ms=%lld report_lines=%lld abort_after_ms=%lld aborted=%d\n", static_cast<long long>(runMs),
                static_cast<long long>(lines), static_cast<long long>(stoppedAt - clickedAt), AbortRequested);
    return 0;
}
