#include "widgets/ReportBox.h"

#include <QEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace vrelmont::ui {

ReportBox::ReportBox(QWidget *parent) : QPlainTextEdit(parent) {
    setUndoRedoEnabled(false);
    setMaximumBlockCount(0);
    setTabChangesFocus(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Named and owned by the box so that a test can find it and fire it without waiting.
    flushTimer_.setParent(this);
    flushTimer_.setObjectName(QStringLiteral("flushTimer"));
    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(kFlushIntervalMs);
    connect(&flushTimer_, &QTimer::timeout, this, &ReportBox::flushPendingLines);
}

void ReportBox::appendLine(const QString &line) {
    pending_.append(line);
    emit lineAppended(line);
    if (!flushTimer_.isActive())
        flushTimer_.start();
}

void ReportBox::flushPendingLines() {
    flushTimer_.stop();
    if (pending_.isEmpty())
        return;
    QScrollBar *scrollBar = verticalScrollBar();
    const bool followEnd = scrollBar->value() == scrollBar->maximum();
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    // A document that holds nothing still has its one empty paragraph: the first line goes there.
    if (!document()->isEmpty())
        cursor.insertBlock();
    cursor.insertText(pending_.join(QLatin1Char('\n')));
    pending_.clear();
    if (followEnd)
        scrollBar->setValue(scrollBar->maximum());
}

QStringList ReportBox::lines() {
    flushPendingLines();
    QStringList result;
    if (document()->isEmpty())
        return result;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        result.append(block.text().split(QChar::LineSeparator));
    return result;
}

void ReportBox::flushBeforeInput(const QEvent *event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Drop:
    case QEvent::ContextMenu:
        // What the user types must land among the lines that are already shown.
        flushPendingLines();
        break;
    default:
        break;
    }
}

bool ReportBox::event(QEvent *event) {
    flushBeforeInput(event);
    return QPlainTextEdit::event(event);
}

bool ReportBox::viewportEvent(QEvent *event) {
    flushBeforeInput(event);
    return QPlainTextEdit::viewportEvent(event);
}

} // namespace vrelmont::ui
