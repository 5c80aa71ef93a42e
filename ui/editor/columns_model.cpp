#include "ui/editor/columns_model.h"

#include <QApplication>
#include <QColor>
#include <QStyle>
#include <unordered_map>

namespace trelmo::ui {

namespace {
const QColor kProblemBackground(0xFF, 0xD0, 0xD0);
}

ColumnsModel::ColumnsModel(std::vector<std::string> firstRecord, QStringList samples, const std::string& encoding,
                           std::vector<std::string> takenAttributes, QObject* parent)
    : QAbstractTableModel(parent),
      firstRecord_(std::move(firstRecord)),
      takenAttributes_(std::move(takenAttributes)),
      samples_(std::move(samples)),
      rule_(encoding),
      rows_(firstRecord_.size()) {
    setNamesFromFirstRecord(false);
}

void ColumnsModel::setNamesFromFirstRecord(bool on) {
    fromFirstRecord_ = on;
    const std::vector<std::string> names =
        convert::proposeColumnNames(firstRecord_, on ? &rule_ : nullptr);
    for (std::size_t i = 0; i < rows_.size(); ++i) rows_[i].name = QString::fromStdString(names[i]);
    checkNames();
}

void ColumnsModel::setAllUsed(bool use) {
    for (Row& row : rows_) row.use = use;
    if (!rows_.empty()) emit dataChanged(index(0, Use), index(rowCount() - 1, Use), {Qt::CheckStateRole});
    checkNames();
}

void ColumnsModel::checkNames() {
    const bool wasUsable = namesUsable();
    const auto isAttribute = [](const Row& row) { return row.use && row.kind == ColumnKind::Attribute; };
    std::unordered_map<std::string, int> attributes;
    for (const std::string& name : takenAttributes_) ++attributes[name];
    std::vector<std::string> names(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (!needsName(rows_[i])) continue;
        names[i] = rows_[i].name.toStdString();
        if (isAttribute(rows_[i])) ++attributes[names[i]];
    }
    problems_ = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        Row& row = rows_[i];
        row.problem = !needsName(row)                              ? Problem::None
                      : !rule_.usable(names[i])                    ? Problem::NotUsable
                      : isAttribute(row) && attributes[names[i]] > 1 ? Problem::Duplicate
                                                                   : Problem::None;
        if (row.problem != Problem::None) ++problems_;
    }
    if (!rows_.empty())
        emit dataChanged(index(0, Name), index(rowCount() - 1, Name));
    if (wasUsable != namesUsable()) emit namesUsableChanged(namesUsable());
}

std::vector<ColumnNode> ColumnsModel::chosen() const {
    std::vector<ColumnNode> out;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const Row& row = rows_[i];
        if (row.use) out.push_back({static_cast<int>(i) + 1, row.kind, row.name.toStdString()});
    }
    return out;
}

std::size_t ColumnsModel::elementsToMake() const {
    std::size_t total = 0;
    for (const Row& row : rows_)
        if (row.use) total += schemaElementsOf(row.kind);
    return total;
}

QString ColumnsModel::kindText(ColumnKind kind) {
    switch (kind) {
    case ColumnKind::Element: return QStringLiteral("要素");
    case ColumnKind::Attribute: return QStringLiteral("属性");
    case ColumnKind::CData: return QStringLiteral("CDATA");
    case ColumnKind::Comment: return QStringLiteral("コメント");
    }
    return {};
}

int ColumnsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ColumnsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : SectionCount;
}

QVariant ColumnsModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const auto r = static_cast<std::size_t>(index.row());
    const Row& row = rows_[r];
    switch (index.column()) {
    case Use:
        if (role == Qt::CheckStateRole) return row.use ? Qt::Checked : Qt::Unchecked;
        break;
    case Number:
        if (role == Qt::DisplayRole) return index.row() + 1;
        break;
    case Sample:
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return samples_.value(index.row());
        break;
    case Name:
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return row.kind == ColumnKind::Comment && role == Qt::DisplayRole ? QString() : row.name;
        if (row.problem != Problem::None && role == Qt::BackgroundRole) return kProblemBackground;
        // The mark stays visible on a selected row, which hides the background.
        if (row.problem != Problem::None && role == Qt::DecorationRole)
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        if (role == Qt::ToolTipRole && row.problem == Problem::NotUsable)
            return QStringLiteral("XMLの名前に使えないか、エンコーディングで表せない文字があります。");
        if (role == Qt::ToolTipRole && row.problem == Problem::Duplicate)
            return QStringLiteral("ほかの属性と同じ名前です。");
        break;
    case Kind:
        if (role == Qt::DisplayRole) return kindText(row.kind);
        if (role == Qt::EditRole) return static_cast<int>(row.kind);
        break;
    default: break;
    }
    return {};
}

bool ColumnsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    Row& row = rows_[static_cast<std::size_t>(index.row())];
    if (index.column() == Use && role == Qt::CheckStateRole) {
        row.use = value.toInt() == Qt::Checked;
    } else if (index.column() == Name && role == Qt::EditRole) {
        row.name = value.toString();
    } else if (index.column() == Kind && role == Qt::EditRole) {
        const int kind = value.toInt();
        if (kind < 0 || kind >= static_cast<int>(std::size(kKinds))) return false;
        row.kind = kKinds[kind];
    } else {
        return false;
    }
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), SectionCount - 1));
    checkNames();
    return true;
}

QVariant ColumnsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
    case Use: return QStringLiteral("作成");
    case Number: return QStringLiteral("列");
    case Sample: return QStringLiteral("値の例");
    case Name: return QStringLiteral("名前");
    case Kind: return QStringLiteral("種類");
    default: return {};
    }
}

Qt::ItemFlags ColumnsModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    if (index.column() == Use) f |= Qt::ItemIsUserCheckable;
    if (index.column() == Kind) f |= Qt::ItemIsEditable;
    if (index.column() == Name && row.kind != ColumnKind::Comment) f |= Qt::ItemIsEditable;
    return f;
}

}  // namespace trelmo::ui
