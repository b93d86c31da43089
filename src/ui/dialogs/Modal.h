#pragma once
// Seams for everything that blocks in a modal loop, so that tests can answer instead of a person.
#include <QDialog>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QMessageBox;
class QWidget;

namespace vrelmont::ui {

enum class BoxIcon { None, Error };

struct ShownBox {
    QString title;
    QString text;
    BoxIcon icon;
};

// A modal message box with one OK button.
void ShowMessageBox(QWidget *parent, const QString &title, const QString &text, BoxIcon icon);
// The box that ShowMessageBox shows, not yet shown.
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget *parent, const QString &title, const QString &text, BoxIcon icon);

// Runs a dialog modally and answers its result. Tests install a handler that is called with the
// dialog (already shown) instead of a modal loop; it answers the result (QDialog::Accepted...).
int ExecModal(QDialog *dialog);

struct SaveFileRequest {
    QString caption;
    QString initialName;
    QString filter;
    QString defaultSuffix;
};
// The file-save dialog; empty when cancelled.
QString AskSaveFileName(QWidget *parent, const SaveFileRequest &request);

// Test control, process-wide seams. While recording, message boxes are stored instead of shown.
namespace testing {
void RecordMessageBoxes(bool on);
QList<ShownBox> TakeRecordedBoxes();
using ModalHandler = std::function<int(QDialog *)>;
// Handlers are taken one per modal showing, first in, first out; none left: the real loop, or the
// unanswered handler when one is set.
void PushModalHandler(ModalHandler handler);
// The next modal showing runs its real loop (a test that closes the window itself, by a timer).
void PushRealModalLoop();
// Called instead of a modal loop (or the save dialog) that opens with no answer queued, so that a
// test fails at once instead of hanging; it answers the dialog's result. Empty: the real loop.
void SetUnansweredModalHandler(ModalHandler handler);
void ClearModalHandlers();
// Next answers of the save dialog (an empty string cancels); the request seen is kept.
void PushSaveFileAnswer(const QString &fileName);
std::optional<SaveFileRequest> LastSaveFileRequest();
} // namespace testing

} // namespace vrelmont::ui
