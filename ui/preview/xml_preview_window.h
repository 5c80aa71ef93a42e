#pragma once
// The editor's XML preview: a tool window beside the editor that shows what a
// conversion would write for the first records of the previewed CSV with the
// schema as it stands, unsaved. It follows the document's and the CSV pane's signals,
// a short moment after the last change, and builds only the view shown; it
// says why when there is nothing to convert.

#include <QTimer>
#include <QWidget>
#include <optional>
#include <string>

#include "engine/convert/xml_preview.h"
#include "engine/xsd/preview_check.h"

class QLabel;
class QPlainTextEdit;
class QSpinBox;
class QStackedWidget;
class QTabWidget;

namespace trelmo::ui {

class ChunkedFill;
class CsvPreviewPane;
class RawXmlView;
class SchemaDocument;
class XsdFaultList;

class XmlPreviewWindow : public QWidget {
    Q_OBJECT
public:
    // Of the document with the records of the CSV the pane lists, beside `editor`.
    XmlPreviewWindow(const SchemaDocument& document, const CsvPreviewPane& csv, QWidget& editor);

    // Shows the window beside the editor, current; it keeps beside it when the editor moves.
    void showBeside();
    // Builds the preview again now (only while shown; showing refreshes).
    void refresh();
    // A refresh is due once the changes stop for kRefreshDelayMs.
    void scheduleRefresh();
    // A refresh is due, or the view shown is still being filled.
    bool refreshPending() const;

    // The last result: the output bytes before decoding, or the problem.
    const XmlPreview& result() const { return result_; }
    QString problemText() const;
    // The note above the output, empty when there is none.
    QString noteText() const;

    static constexpr int kDefaultRecords = 10;
    static constexpr int kMaxRecords = 100;
    static constexpr int kRefreshDelayMs = 150;

signals:
    // A link of the problem text: to the root-name box, or to a node.
    void rootNameLinkActivated();
    void nodeLinkActivated(int treeIndex);
    // A fault double-clicked: its schema node (0: none found), CSV record and column (0: none).
    void faultActivated(int treeIndex, int record, int column);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeBeside();
    // The first `needed` records of the previewed CSV, read once after each
    // "CSVを開く" and again only when more are needed.
    const PreviewCsv& csv(const std::string& path, std::size_t needed);
    void showProblem();
    void showOutput();
    // Fills the view shown from the last result, if it is not filled yet.
    void fillShownView();
    // The schema node that wrote a fault's node: the path's element names
    // walked from the schema's top element, then the attribute by name; 0 when none.
    int treeIndexOf(const xsd::PreviewFault& fault) const;

    const SchemaDocument& document_;
    const CsvPreviewPane& csvPane_;
    QWidget& editor_;
    QTimer timer_;
    QSpinBox* spnRecords_ = nullptr;
    QStackedWidget* pages_ = nullptr;
    QLabel* lblProblem_ = nullptr;
    QLabel* lblNote_ = nullptr;
    QWidget* output_ = nullptr;
    QTabWidget* tabViews_ = nullptr;
    RawXmlView* txtRaw_ = nullptr;
    QPlainTextEdit* txtIndented_ = nullptr;
    ChunkedFill* indentedFill_ = nullptr;
    XsdFaultList* lstFaults_ = nullptr;
    xsd::PreviewXsdChecker xsdChecker_;
    bool placed_ = false;  // sized once to the room there is; later the user's size is kept

    XmlPreview result_;
    std::string text_;  // the output decoded, for the views
    bool rawFilled_ = false;
    bool indentedFilled_ = false;
    std::optional<PreviewCsv> csv_;
    std::string csvPath_;
};

}  // namespace trelmo::ui
