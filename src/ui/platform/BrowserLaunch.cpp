#include "platform/BrowserLaunch.h"

#include <QDesktopServices>
#include <QProcess>

namespace vrelmont::ui {

void LaunchBrowser(const QUrl &url, std::function<void(bool)> told) {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    told(QDesktopServices::openUrl(url)); // the system's own answer
#else
    // QDesktopServices answers true as soon as xdg-open runs, also when xdg-open then finds no
    // browser; its exit status tells. Without a parent, an xdg-open that waits for the browser it
    // started is not killed when the program ends.
    auto *process = new QProcess;
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process, [process, told](int code, QProcess::ExitStatus status) {
        told(status == QProcess::NormalExit && code == 0);
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, told](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return; // a crash also finishes, and is told there
        told(false);
        process->deleteLater();
    });
    process->start(QStringLiteral("xdg-open"), {url.toString(QUrl::FullyEncoded)});
#endif
}

} // namespace vrelmont::ui
