#pragma once
// Puts a long text into a text view a part at a time: the first lines at
// once, the rest from the event loop, so that neither the window nor typing
// waits for the whole text (the layout and the colouring of each line cost
// far more than making the text).

#include <QObject>
#include <QString>
#include <QTimer>

class QPlainTextEdit;

namespace trelmo::ui {

class ChunkedFill : public QObject {
    Q_OBJECT
public:
    explicit ChunkedFill(QPlainTextEdit* view);

    static constexpr int kLinesAPart = 1000;

    // Replaces the view's text by `text` (lines separated by '\n' only); a
    // fill still going on is dropped.
    void start(QString text);
    // Lines are still to come.
    bool busy() const { return timer_.isActive(); }

private:
    void step();

    QPlainTextEdit* view_;
    QString text_;
    qsizetype at_ = 0;  // where the part still to come starts
    QTimer timer_;
};

}  // namespace trelmo::ui
