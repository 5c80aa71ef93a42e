#include "ui/preview/raw_xml_view.h"

#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>

namespace trelmo::ui {
namespace {

// Characters that end a block of a text document: they end a line shown too.
bool endsBlock(QChar c) {
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c.unicode() == 0xFDD0 ||
           c.unicode() == 0xFDD1;
}

}  // namespace

RawXmlView::RawXmlView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // Wrapping lays out every line of the document on each change; the cut
    // lines are short enough to be read without it.
    setLineWrapMode(NoWrap);
}

void RawXmlView::setOutput(const QString& text) {
    output_ = text;
    lineStarts_.clear();
    QString shown;
    shown.reserve(text.size() + text.size() / kLineLength + 1);
    const int n = static_cast<int>(text.size());
    int at = 0;
    int lineEnd = -1;  // where the output's line that holds `at` ends
    for (;;) {
        lineStarts_.push_back(at);
        if (lineEnd < at) {
            lineEnd = at;
            while (lineEnd < n && !endsBlock(text[lineEnd])) ++lineEnd;
        }
        // Cut a long line: after the last '>' in the second half of the
        // limit, else at the limit, never inside a surrogate pair.
        if (lineEnd - at > kLineLength) {
            const int limit = at + kLineLength;
            const int tag = static_cast<int>(text.lastIndexOf(u'>', limit - 1));
            int end = tag >= at + kLineLength / 2 ? tag + 1 : limit;
            if (text[end - 1].isHighSurrogate()) --end;
            shown += QStringView(text).mid(at, end - at);
            shown += u'\n';
            at = end;
            continue;
        }
        shown += QStringView(text).mid(at, lineEnd - at);
        if (lineEnd == n) break;
        shown += u'\n';
        at = lineEnd + (text[lineEnd] == u'\r' && lineEnd + 1 < n && text[lineEnd + 1] == u'\n' ? 2 : 1);
    }
    fill_.start(std::move(shown));
}

int RawXmlView::outputIndex(int position) const {
    const QTextBlock block = document()->findBlock(position);
    const auto line = static_cast<std::size_t>(std::max(block.blockNumber(), 0));
    if (line >= lineStarts_.size()) return static_cast<int>(output_.size());
    return std::min(lineStarts_[line] + position - block.position(), static_cast<int>(output_.size()));
}

QString RawXmlView::outputBetween(int from, int to) const {
    const int a = outputIndex(from);
    return output_.mid(a, outputIndex(to) - a);
}

QMimeData* RawXmlView::createMimeDataFromSelection() const {
    const QTextCursor cursor = textCursor();
    auto* data = new QMimeData;
    data->setText(outputBetween(cursor.selectionStart(), cursor.selectionEnd()));
    return data;
}

}  // namespace trelmo::ui
