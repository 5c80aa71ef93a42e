#include "ui/editor/preview_model.h"

#include <QFont>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace trelmo::ui {

namespace {
// The mark of a used column: a small filled dot.
QIcon usedMark() {
    static const QIcon mark = [] {
        QPixmap pixmap(10, 10);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x00, 0x60, 0xC0));
        painter.drawEllipse(1, 1, 8, 8);
        return QIcon(pixmap);
    }();
    return mark;
}
}  // namespace

PreviewModel::PreviewModel(QObject* parent) : QAbstractTableModel(parent) {}

void PreviewModel::clearHeaders() {
    if (headers_.isEmpty()) return;
    if (bulk_) {
        headers_.clear();
        return;
    }
    beginRemoveColumns(QModelIndex(), 0, static_cast<int>(headers_.size()) - 1);
    headers_.clear();
    endRemoveColumns();
}

void PreviewModel::addHeader(const std::string& text) {
    const int column = static_cast<int>(headers_.size());
    if (!bulk_) beginInsertColumns(QModelIndex(), column, column);
    headers_.append(QString::fromStdString(text));
    if (!bulk_) endInsertColumns();
}

void PreviewModel::clearItems() {
    if (rows_.empty()) return;
    if (bulk_) {
        rows_.clear();
        return;
    }
    beginRemoveRows(QModelIndex(), 0, static_cast<int>(rows_.size()) - 1);
    rows_.clear();
    rows_.shrink_to_fit();
    endRemoveRows();
}

void PreviewModel::addItem(std::vector<std::string> fields) {
    Row row;
    std::size_t size = 0;
    for (const std::string& f : fields) size += f.size();
    row.text.reserve(size);
    row.ends.reserve(fields.size());
    for (const std::string& f : fields) {
        row.text += f;
        row.ends.push_back(static_cast<std::uint32_t>(row.text.size()));
    }
    const int at = static_cast<int>(rows_.size());
    if (!bulk_) beginInsertRows(QModelIndex(), at, at);
    rows_.push_back(std::move(row));
    if (!bulk_) endInsertRows();
}

PreviewModel::BulkLoad::BulkLoad(PreviewModel& model) : model_(model) {
    model_.beginResetModel();
    model_.bulk_ = true;
}

PreviewModel::BulkLoad::~BulkLoad() {
    model_.bulk_ = false;
    model_.endResetModel();
}

int PreviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PreviewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QString PreviewModel::cell(int row, int column) const {
    if (row < 0 || row >= static_cast<int>(rows_.size()) || column < 0) return {};
    const Row& r = rows_[static_cast<std::size_t>(row)];
    const auto c = static_cast<std::size_t>(column);
    if (c >= r.ends.size()) return {};
    const std::uint32_t begin = c == 0 ? 0 : r.ends[c - 1];
    return QString::fromUtf8(r.text.data() + begin, static_cast<qsizetype>(r.ends[c] - begin));
}

QVariant PreviewModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role != Qt::DisplayRole) return {};
    return cell(index.row(), index.column());
}

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    if (section < 0 || section >= headers_.size()) return {};
    if (role == Qt::DisplayRole) return headers_[section];
    const auto s = static_cast<std::size_t>(section);
    if (s >= uses_.size() || uses_[s].isEmpty()) return {};
    switch (role) {
    case Qt::ToolTipRole: return uses_[s];
    case Qt::DecorationRole: return usedMark();
    case Qt::FontRole: {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    default: return {};
    }
}

void PreviewModel::setColumnUses(std::vector<QString> tooltips) {
    if (tooltips == uses_) return;
    uses_ = std::move(tooltips);
    if (!headers_.isEmpty())
        emit headerDataChanged(Qt::Horizontal, 0, static_cast<int>(headers_.size()) - 1);
}

Qt::ItemFlags PreviewModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

}  // namespace trelmo::ui
