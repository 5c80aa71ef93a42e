#include "ui/editor/columns_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/editor/columns_model.h"
#include "ui/editor/preview_model.h"

namespace trelmo::ui {

namespace {

// The kind is picked from a list of the four.
class KindDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        auto* box = new QComboBox(parent);
        for (ColumnKind kind : ColumnsModel::kKinds) box->addItem(ColumnsModel::kindText(kind));
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        static_cast<QComboBox*>(editor)->setCurrentIndex(index.data(Qt::EditRole).toInt());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        model->setData(index, static_cast<QComboBox*>(editor)->currentIndex(), Qt::EditRole);
    }
};

QString sampleOf(const PreviewModel& preview, int column) {
    QStringList values;
    const int rows = std::min(preview.rowCount(), ColumnsDialog::kSampleRecords);
    for (int r = 0; r < rows; ++r) {
        QString value = preview.cell(r, column);
        value.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        value.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        values.append(value);
    }
    return values.join(QStringLiteral(" / "));
}

}  // namespace

ColumnsDialog::ColumnsDialog(const PreviewModel& preview, const std::string& encoding,
                             std::size_t existingElements, std::vector<std::string> takenAttributes,
                             bool namesFromFirstRecord, MessageSink& messages, QWidget* parent)
    : QDialog(parent), existingElements_(existingElements), messages_(messages) {
    setObjectName("frmColumns");
    setWindowTitle(QStringLiteral("CSVの列から作成"));

    const int columns = preview.columnCount();
    std::vector<std::string> firstRecord;
    QStringList samples;
    firstRecord.reserve(static_cast<std::size_t>(columns));
    samples.reserve(columns);
    for (int c = 0; c < columns; ++c) {
        firstRecord.push_back(preview.cell(0, c).toStdString());
        samples.append(sampleOf(preview, c));
    }
    model_ = new ColumnsModel(std::move(firstRecord), std::move(samples), encoding, std::move(takenAttributes), this);
    if (namesFromFirstRecord) model_->setNamesFromFirstRecord(true);

    grdColumns = new QTableView(this);
    grdColumns->setObjectName("grdColumns");
    grdColumns->setModel(model_);
    grdColumns->setItemDelegateForColumn(ColumnsModel::Kind, new KindDelegate(grdColumns));
    grdColumns->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdColumns->setSelectionMode(QAbstractItemView::SingleSelection);
    grdColumns->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::SelectedClicked);
    grdColumns->verticalHeader()->hide();
    // Fixed sizes: measuring the contents of thousands of rows takes long.
    grdColumns->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* header = grdColumns->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->resizeSection(ColumnsModel::Use, 40);
    header->resizeSection(ColumnsModel::Number, 40);
    header->resizeSection(ColumnsModel::Sample, 240);
    header->resizeSection(ColumnsModel::Name, 150);
    header->setStretchLastSection(true);

    // Tab goes on to the controls below; the arrows move within the table.
    grdColumns->setTabKeyNavigation(false);

    cmdUseAll = new QPushButton(QStringLiteral("すべて作成(&A)"), this);
    cmdUseAll->setObjectName("cmdUseAll");
    cmdUseNone = new QPushButton(QStringLiteral("すべて外す(&L)"), this);
    cmdUseNone->setObjectName("cmdUseNone");
    for (QPushButton* button : {cmdUseAll, cmdUseNone}) button->setAutoDefault(false);
    connect(cmdUseAll, &QPushButton::clicked, model_, [this] { model_->setAllUsed(true); });
    connect(cmdUseNone, &QPushButton::clicked, model_, [this] { model_->setAllUsed(false); });

    chkFirstRecord = new QCheckBox(QStringLiteral("1行目を名前に使う(&N)"), this);
    chkFirstRecord->setObjectName("chkFirstRecord");
    chkFirstRecord->setChecked(namesFromFirstRecord);
    connect(chkFirstRecord, &QCheckBox::toggled, model_, &ColumnsModel::setNamesFromFirstRecord);

    lblNote = new QLabel(
        QStringLiteral("CSVには見出しの行がありません。1行目も、ほかの行と同じくデータとして変換されます。"),
        this);
    lblNote->setObjectName("lblNote");
    lblNote->setWordWrap(true);

    lblProblem = new QLabel(
        QStringLiteral("赤い名前は使えません。XMLの名前で、エンコーディングで表せる文字だけの、"
                       "「:」のない、属性どうしで重ならない名前にしてください。"),
        this);
    lblProblem->setObjectName("lblProblem");
    lblProblem->setWordWrap(true);
    lblProblem->setStyleSheet(QStringLiteral("color: #C00000"));

    auto* buttons = new QDialogButtonBox(this);
    cmdOK = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    cmdOK->setObjectName("cmdOK");
    cmdCancel = buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    cmdCancel->setObjectName("cmdCancel");
    cmdOK->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &ColumnsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ColumnsDialog::reject);

    const auto showUsable = [this](bool usable) {
        cmdOK->setEnabled(usable);
        lblProblem->setVisible(!usable);
    };
    connect(model_, &ColumnsModel::namesUsableChanged, this, showUsable);
    showUsable(model_->namesUsable());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grdColumns, 1);
    auto* useRow = new QHBoxLayout;
    useRow->addWidget(cmdUseAll);
    useRow->addWidget(cmdUseNone);
    useRow->addStretch(1);
    layout->addLayout(useRow);
    layout->addWidget(chkFirstRecord);
    layout->addWidget(lblNote);
    layout->addWidget(lblProblem);
    layout->addWidget(buttons);
    resize(640, 420);
    grdColumns->setFocus();
}

std::vector<ColumnNode> ColumnsDialog::chosen() const { return model_->chosen(); }

bool ColumnsDialog::namesFromFirstRecord() const { return model_->namesFromFirstRecord(); }

void ColumnsDialog::accept() {
    if (!model_->namesUsable()) return;
    const std::size_t total = existingElements_ + model_->elementsToMake();
    if (total > kMaxSchemaElements) {
        messages_.show(tooManyElementsMessage(total), MsgIcon::Exclamation);
        return;
    }
    QDialog::accept();
}

}  // namespace trelmo::ui
