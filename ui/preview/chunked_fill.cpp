#include "ui/preview/chunked_fill.h"

#include <QPlainTextEdit>
#include <QTextCursor>

namespace trelmo::ui {

ChunkedFill::ChunkedFill(QPlainTextEdit* view) : QObject(view), view_(view) {
    view->setUndoRedoEnabled(false);  // the parts are no edits to take back
    timer_.setSingleShot(true);
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, &ChunkedFill::step);
}

void ChunkedFill::start(QString text) {
    text_ = std::move(text);
    at_ = 0;
    timer_.stop();
    step();
}

void ChunkedFill::step() {
    // The part ends before the line break after kLinesAPart lines, so the
    // next part starts with the break that makes its first line.
    qsizetype end = at_;
    for (int lines = 0; lines < kLinesAPart && end != -1; ++lines) end = text_.indexOf(u'\n', end + 1);
    if (end == -1) end = text_.size();
    const QString part = text_.mid(at_, end - at_);
    if (at_ == 0) {
        view_->setPlainText(part);
    } else {
        QTextCursor cursor(view_->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(part);
    }
    at_ = end;
    if (at_ < text_.size()) {
        timer_.start();
    } else {
        text_.clear();
    }
}

}  // namespace trelmo::ui
