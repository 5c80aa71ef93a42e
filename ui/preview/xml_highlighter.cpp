#include "ui/preview/xml_highlighter.h"

#include <QRegularExpression>

namespace trelmo::ui {
namespace {

QTextCharFormat colour(const char* name, bool italic = false) {
    QTextCharFormat f;
    f.setForeground(QColor(QString::fromLatin1(name)));
    f.setFontItalic(italic);
    return f;
}

bool isNameChar(QChar c) {
    return !c.isSpace() && c != '>' && c != '/' && c != '=' && c != '<' && c != '"' && c != '\'';
}

}  // namespace

XmlHighlighter::XmlHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
    markup_ = colour("#5a5a8c");
    element_ = colour("#00008b");
    element_.setFontWeight(QFont::Bold);
    attribute_ = colour("#a0522d");
    value_ = colour("#0b6e99");
    text_ = colour("#000000");
    cdata_ = colour("#6a3d9a");
    cdata_.setBackground(QColor("#f3eefa"));
    comment_ = colour("#2e7d32", true);
    declaration_ = colour("#808080");
    error_ = colour("#b00020");
    error_.setBackground(QColor("#ffe0e0"));
    error_.setFontWeight(QFont::Bold);
}

void XmlHighlighter::highlightBlock(const QString& text) {
    int state = std::max(previousBlockState(), 0);
    const int n = static_cast<int>(text.size());
    int i = 0;
    // Runs to the end mark of a section; false when the block ends first.
    const auto section = [&](const QString& end, const QTextCharFormat& format) {
        const int at = static_cast<int>(text.indexOf(end, i));
        const int stop = at < 0 ? n : at + static_cast<int>(end.size());
        setFormat(i, stop - i, format);
        i = stop;
        return at >= 0;
    };
    while (i < n) {
        switch (state) {
        case Text: {
            const int lt = static_cast<int>(text.indexOf('<', i));
            const int stop = lt < 0 ? n : lt;
            setFormat(i, stop - i, text_);
            i = stop;
            if (i >= n) break;
            if (text.mid(i, 4) == QLatin1String("<!--")) {
                state = Comment;
            } else if (text.mid(i, 9) == QLatin1String("<![CDATA[")) {
                state = CData;
            } else if (text.mid(i, 2) == QLatin1String("<?")) {
                state = Declaration;
            } else {
                const int start = i;
                i += text.mid(i, 2) == QLatin1String("</") ? 2 : 1;
                setFormat(start, i - start, markup_);
                const int name = i;
                while (i < n && isNameChar(text[i])) ++i;
                setFormat(name, i - name, element_);
                state = Tag;
            }
            break;
        }
        case Comment:
            if (section(QStringLiteral("-->"), comment_)) state = Text;
            break;
        case CData:
            if (section(QStringLiteral("]]>"), cdata_)) state = Text;
            break;
        case Declaration:
            if (section(QStringLiteral("?>"), declaration_)) state = Text;
            break;
        case ValueDouble:
        case ValueSingle: {
            const QChar quote = state == ValueDouble ? '"' : '\'';
            const int at = static_cast<int>(text.indexOf(quote, i));
            const int stop = at < 0 ? n : at + 1;
            setFormat(i, stop - i, value_);
            i = stop;
            if (at >= 0) state = Tag;
            break;
        }
        case Tag: {
            const QChar c = text[i];
            if (c == '>' || c == '/' || c == '=') {
                setFormat(i, 1, markup_);
                if (c == '>') state = Text;
                ++i;
            } else if (c == '"' || c == '\'') {
                setFormat(i, 1, value_);
                state = c == '"' ? ValueDouble : ValueSingle;
                ++i;
            } else if (c.isSpace()) {
                ++i;
            } else {
                const int name = i;
                while (i < n && isNameChar(text[i])) ++i;
                if (i == name) ++i;
                setFormat(name, i - name, attribute_);
            }
            break;
        }
        default: state = Text;
        }
    }
    setCurrentBlockState(state);

    // The generator's texts for a data source that is no number or names no field.
    static const QRegularExpression errors(
        QStringLiteral(R"(Error: \([^\n]*?\) is not a number\.|Error: No field \([^\n]*?\) \.)"));
    for (auto it = errors.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        setFormat(static_cast<int>(m.capturedStart()), static_cast<int>(m.capturedLength()), error_);
    }
}

}  // namespace trelmo::ui
