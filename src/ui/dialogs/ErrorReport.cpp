#include "dialogs/ErrorReport.h"

#include "common/ProgramTexts.h"
#include "dialogs/Modal.h"
#include "platform/ErrorReportText.h"

namespace vrelmont::ui {

void ShowErrorReport(QWidget *parent, const QString &message) {
    const auto text = QString::fromStdString(ErrorReportText(message.toStdString()));
    ShowMessageBox(parent, ApplicationTitle(), text, BoxIcon::Error);
}

bool GuardHandler(QWidget *parent, const std::function<void()> &work) {
    try {
        work();
        return true;
    } catch (const std::exception &error) {
        ShowErrorReport(parent, QString::fromStdString(error.what()));
    } catch (...) {
        ShowErrorReport(parent, QStringLiteral("Neznámá chyba"));
    }
    return false;
}

} // namespace vrelmont::ui
