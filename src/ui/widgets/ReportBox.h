#pragma once
// The report box: plain text the user may also edit, to which a run appends its lines.
#include <QPlainTextEdit>
#include <QStringList>
#include <QTimer>

namespace vrelmont::ui {

class ReportBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ReportBox(QWidget *parent = nullptr);

    // Appends `line` as a new last line. A run may write a hundred thousand lines; laying out and
    // painting each one alone would cost far more than the check itself, so lines are gathered and
    // handed to the text document together, a few times a second and before any user input reaches
    // the box. Everything that reads the box sees every line appended so far.
    void appendLine(const QString &line);
    // Hands the gathered lines to the document now.
    void flushPendingLines();
    // The box's lines as the user sees them: one per paragraph, a soft line break starting a new one.
    QStringList lines();
    int pendingLineCount() const { return static_cast<int>(pending_.size()); }

    static constexpr int kFlushIntervalMs = 50;

signals:
    // Sent for every appended line at once, before it reaches the document (for measurements).
    void lineAppended(const QString &line);

protected:
    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    void flushBeforeInput(const QEvent *event);

    QStringList pending_;
    QTimer flushTimer_;
};

} // namespace vrelmont::ui
