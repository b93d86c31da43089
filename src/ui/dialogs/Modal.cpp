#include "dialogs/Modal.h"

#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QQueue>

namespace vrelmont::ui {
namespace {
bool recording = false;
QList<ShownBox> recorded;
QQueue<testing::ModalHandler> modalHandlers;
testing::ModalHandler unansweredModal;
QQueue<QString> saveAnswers;
std::optional<SaveFileRequest> lastSaveRequest;
} // namespace

void ShowMessageBox(QWidget *parent, const QString &title, const QString &text, BoxIcon icon) {
    if (recording) {
        recorded.append({title, text, icon});
        return;
    }
    const auto box = MakeMessageBox(parent, title, text, icon);
    box->exec();
}

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget *parent, const QString &title, const QString &text, BoxIcon icon) {
    auto box = std::make_unique<QMessageBox>(icon == BoxIcon::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
                                             title, text, QMessageBox::Ok, parent);
    // The icon is the only sign of an error that a screen reader would otherwise not name.
    if (auto *iconLabel = box->findChild<QLabel *>(QStringLiteral("qt_msgboxex_icon_label")))
        iconLabel->setAccessibleName(icon == BoxIcon::Error ? QStringLiteral("Chyba") : QString());
    return box;
}

int ExecModal(QDialog *dialog) {
    if (modalHandlers.isEmpty() && !unansweredModal)
        return dialog->exec();
    auto handler = modalHandlers.isEmpty() ? unansweredModal : modalHandlers.dequeue();
    if (!handler)
        return dialog->exec();
    dialog->setModal(true);
    dialog->show();
    const int result = handler(dialog);
    dialog->setResult(result);
    dialog->hide();
    return result;
}

QString AskSaveFileName(QWidget *parent, const SaveFileRequest &request) {
    lastSaveRequest = request;
    if (!saveAnswers.isEmpty())
        return saveAnswers.dequeue();
    QFileDialog dialog(parent, request.caption, QString(), request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    dialog.setSizeGripEnabled(true);
    if (!request.initialName.isEmpty())
        dialog.selectFile(request.initialName);
    if (unansweredModal) {
        unansweredModal(&dialog);
        return {};
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

namespace testing {
void RecordMessageBoxes(bool on) {
    recording = on;
    recorded.clear();
}
QList<ShownBox> TakeRecordedBoxes() {
    QList<ShownBox> boxes;
    boxes.swap(recorded);
    return boxes;
}
void PushModalHandler(ModalHandler handler) {
    modalHandlers.enqueue(std::move(handler));
}
void PushRealModalLoop() {
    modalHandlers.enqueue(ModalHandler());
}
void SetUnansweredModalHandler(ModalHandler handler) {
    unansweredModal = std::move(handler);
}
void ClearModalHandlers() {
    modalHandlers.clear();
    saveAnswers.clear();
    lastSaveRequest.reset();
}
void PushSaveFileAnswer(const QString &fileName) {
    saveAnswers.enqueue(fileName);
}
std::optional<SaveFileRequest> LastSaveFileRequest() {
    return lastSaveRequest;
}
} // namespace testing

} // namespace vrelmont::ui
