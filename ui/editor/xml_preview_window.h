#pragma once
// The editor's XML preview: a tool window beside the editor that shows what a
// conversion would write for the first records of the previewed CSV with the
// schema as it stands, unsaved. It follows the editor's schemaChanged signal,
// and says why when there is nothing to convert.

#include <QDateTime>
#include <QWidget>
#include <string>
#include <vector>

#include "engine/convert/xml_preview.h"

class QLabel;
class QPlainTextEdit;
class QSpinBox;
class QStackedWidget;
class QTabWidget;

namespace trelmo::ui {

class FrmEdit;

class XmlPreviewWindow : public QWidget {
    Q_OBJECT
public:
    explicit XmlPreviewWindow(FrmEdit& editor);

    // Shows the window beside the editor, current; it keeps beside it when the editor moves.
    void showBeside();
    // Builds the preview again (only while shown; showing refreshes).
    void refresh();

    // The last result: the output bytes before decoding, or the problem.
    const XmlPreview& result() const { return result_; }
    QString problemText() const;

    static constexpr int kDefaultRecords = 10;
    static constexpr int kMaxRecords = 100;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeBeside();
    // The records of the previewed CSV, read again only when the file changed.
    const std::vector<std::string>& records(const std::string& path);
    void showProblem(const std::string& text, std::size_t node);
    void showOutput();

    FrmEdit& editor_;
    QSpinBox* spnRecords_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    QLabel* lblProblem_ = nullptr;
    QTabWidget* tabViews_ = nullptr;
    QPlainTextEdit* txtRaw_ = nullptr;
    QPlainTextEdit* txtIndented_ = nullptr;

    XmlPreview result_;
    std::string csvPath_;
    qint64 csvSize_ = -1;
    QDateTime csvTime_;
    std::vector<std::string> records_;
    std::string csvError_;
};

}  // namespace trelmo::ui
