#pragma once
// The output as written, in a read-only text view. A line of the output that
// is longer than kLineLength characters is cut for display only, after a tag
// where one ends near the limit, so that the text layout never has to wrap one
// very long line (the output's records all stand on one line); the view does
// not wrap. Copying gives the text as written, without the display's cuts.

#include <QPlainTextEdit>
#include <vector>

#include "ui/preview/chunked_fill.h"

namespace trelmo::ui {

class RawXmlView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit RawXmlView(QWidget* parent = nullptr);

    static constexpr int kLineLength = 160;

    // Shows the text, the first lines at once and the rest from the event loop.
    void setOutput(const QString& text);
    bool filling() const { return fill_.busy(); }
    const QString& output() const { return output_; }
    // The text as written between two positions of the document shown.
    QString outputBetween(int from, int to) const;

protected:
    QMimeData* createMimeDataFromSelection() const override;

private:
    int outputIndex(int position) const;

    ChunkedFill fill_{this};
    QString output_;
    std::vector<int> lineStarts_;  // where each line shown starts in output_
};

}  // namespace trelmo::ui
