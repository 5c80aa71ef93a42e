#pragma once
// Colours XML text for reading: element names, attribute names and values,
// character data, CDATA sections, comments and declarations; the generator's
// "Error: …" texts for a bad data source stand out where they appear.

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

namespace trelmo::ui {

class XmlHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit XmlHighlighter(QTextDocument* document);

    // Where a block ends inside markup, so that the next one goes on there.
    enum State { Text = 0, Tag, Comment, CData, Declaration, ValueDouble, ValueSingle };

protected:
    void highlightBlock(const QString& text) override;

private:
    QTextCharFormat markup_, element_, attribute_, value_, text_, cdata_, comment_, declaration_, error_;
};

}  // namespace trelmo::ui
