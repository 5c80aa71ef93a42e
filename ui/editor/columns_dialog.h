#pragma once
// The dialog "CSVの列から作成": which columns of the CSV preview become nodes
// under the selected element, with their names and kinds. OK is the default
// button, so Enter takes the proposal as it stands.

#include <QDialog>
#include <cstddef>
#include <string>
#include <vector>

#include "engine/messages.h"
#include "ui/editor/column_nodes.h"

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QPushButton;
class QTableView;

namespace trelmo::ui {

class ColumnsModel;
class PreviewModel;

class ColumnsDialog : public QDialog {
    Q_OBJECT
public:
    // existingElements: the elements the schema holds already, so that OK
    // refuses to pass the editor's limit, saying so through messages;
    // takenAttributes: the names of the attributes the element has already.
    ColumnsDialog(const PreviewModel& preview, const std::string& encoding, std::size_t existingElements,
                  std::vector<std::string> takenAttributes, bool namesFromFirstRecord, MessageSink& messages,
                  QWidget* parent = nullptr);

    ColumnsModel& model() const { return *model_; }
    std::vector<ColumnNode> chosen() const;
    bool namesFromFirstRecord() const;

    // The sample of a column: its first values, on one line.
    static constexpr int kSampleRecords = 3;

public slots:
    void accept() override;

private:
    ColumnsModel* model_ = nullptr;
    QTableView* grdColumns = nullptr;
    QPushButton* cmdUseAll = nullptr;
    QPushButton* cmdUseNone = nullptr;
    QCheckBox* chkFirstRecord = nullptr;
    QLabel* lblNote = nullptr;
    QLabel* lblProblem = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    std::size_t existingElements_;
    MessageSink& messages_;
};

}  // namespace trelmo::ui
