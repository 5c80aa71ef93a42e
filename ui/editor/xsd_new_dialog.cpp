#include "ui/editor/xsd_new_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include "engine/xsd/schema_from_xsd.h"
#include "ui/editor/twips.h"

namespace trelmo::ui {

namespace {

QString u8(const std::string& text) { return QString::fromStdString(text); }

// "1", "0..1", "1..*": how often a node occurs in its parent.
QString occurs(const xsd::OutlineNode& node) {
    const QString most = node.maxOccurs == xsd::kUnbounded ? QStringLiteral("*") : QString::number(node.maxOccurs);
    if (node.minOccurs == node.maxOccurs) return most;
    return QString::number(node.minOccurs) + QStringLiteral("..") + most;
}

// Items keep their node's address; the tree they point into lives as long as they do.
const xsd::OutlineNode* nodeOf(const QTreeWidgetItem* item) {
    return item ? reinterpret_cast<const xsd::OutlineNode*>(item->data(0, Qt::UserRole).value<quintptr>()) : nullptr;
}

void addNode(const xsd::OutlineNode& node, QTreeWidgetItem* parent) {
    auto* item = new QTreeWidgetItem(parent);
    item->setText(0, node.isElement() ? u8(node.name) : QStringLiteral("@") + u8(node.name));
    item->setText(1, occurs(node));
    item->setText(2, node.required() ? QStringLiteral("必須") : QString());
    item->setText(3, u8(node.label));
    item->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(&node)));
    // Only an element can repeat once per record.
    if (!node.isElement()) item->setFlags(item->flags() & ~Qt::ItemIsSelectable);
    for (const xsd::OutlineNode& child : node.children) addNode(child, item);
}

}  // namespace

XsdNewDialog::XsdNewDialog(xsd::XsdOutline outline, QWidget* parent)
    : QDialog(parent),
      outline_(std::move(outline)),
      roots_(new QListWidget),
      elements_(new QTreeWidget),
      recordName_(new QLabel),
      notes_(new QListWidget),
      ok_(new QPushButton(QStringLiteral("OK"))) {
    setObjectName("xsdNewDialog");
    setWindowTitle(QStringLiteral("XSDから作成"));
    roots_->setObjectName("lstRootElements");
    elements_->setObjectName("tvwXsdTree");
    recordName_->setObjectName("lblRecordElement");
    notes_->setObjectName("lstXsdNotes");
    ok_->setObjectName("cmdOK");
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"));
    cancel->setObjectName("cmdCancel");
    ok_->setDefault(true);

    elements_->setColumnCount(4);
    elements_->setHeaderLabels({QStringLiteral("要素"), QStringLiteral("回数"), QStringLiteral("必須"),
                                QStringLiteral("ラベル")});
    elements_->header()->setStretchLastSection(true);
    notes_->setWordWrap(true);

    auto* rootsColumn = new QVBoxLayout;
    rootsColumn->addWidget(new QLabel(QStringLiteral("ルート要素（最上位の要素）")));
    rootsColumn->addWidget(roots_);
    auto* treeColumn = new QVBoxLayout;
    treeColumn->addWidget(new QLabel(QStringLiteral("ルートの下の構造（CSV の 1 レコードごとに繰り返す要素を選ぶ）")));
    treeColumn->addWidget(elements_);
    treeColumn->addWidget(recordName_);
    auto* choices = new QHBoxLayout;
    choices->addLayout(rootsColumn, 1);
    choices->addLayout(treeColumn, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices, 3);
    layout->addWidget(new QLabel(QStringLiteral("注意")));
    layout->addWidget(notes_, 1);
    layout->addLayout(buttons);
    resize(px(10500), px(7500));

    for (const std::string& name : outline_.globalElements()) roots_->addItem(u8(name));
    connect(roots_, &QListWidget::currentRowChanged, this, &XsdNewDialog::showRoot);
    connect(elements_, &QTreeWidget::currentItemChanged, this, &XsdNewDialog::chooseRecord);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    roots_->setCurrentRow(0);
    elements_->setFocus();
}

void XsdNewDialog::showRoot(int row) {
    record_ = nullptr;
    elements_->clear();  // before the tree its items point into goes
    tree_ = row < 0 ? xsd::OutlineTree{} : outline_.tree(roots_->item(row)->text().toStdString());
    if (!tree_.root.name.empty()) {
        auto* top = new QTreeWidgetItem(elements_);
        top->setText(0, u8(tree_.root.name));
        top->setText(3, u8(tree_.root.label));
        top->setFlags(top->flags() & ~Qt::ItemIsSelectable);  // the root does not repeat
        for (const xsd::OutlineNode& child : tree_.root.children) addNode(child, top);
        elements_->expandAll();
        for (int c = 0; c < 3; ++c) elements_->resizeColumnToContents(c);
    }
    const xsd::OutlineNode* chosen = xsd::defaultRecordElement(tree_.root);
    for (QTreeWidgetItemIterator it(elements_); *it; ++it)
        if (chosen && nodeOf(*it) == chosen) elements_->setCurrentItem(*it);
    if (!record_) chooseRecord(nullptr);
}

void XsdNewDialog::chooseRecord(QTreeWidgetItem* item) {
    const xsd::OutlineNode* node = nodeOf(item);
    if (item && (!node || !node->isElement())) return;  // the root or an attribute stays unchosen
    record_ = node;
    recordName_->setText(QStringLiteral("繰り返す要素（レコード要素）: ") +
                         (record_ ? u8(record_->name) : QStringLiteral("なし")));
    ok_->setEnabled(record_ != nullptr);
    showNotes();
}

void XsdNewDialog::showNotes() {
    notes_->clear();
    for (const std::string& note : tree_.notes) notes_->addItem(u8(note));
    if (record_)
        for (const std::string& note : xsd::recordChoiceNotes(tree_.root, *record_)) notes_->addItem(u8(note));
    else if (!tree_.root.name.empty())
        notes_->addItem(QStringLiteral("要素 %1 の下に要素がないため、スキーマを作れません。").arg(u8(tree_.root.name)));
}

}  // namespace trelmo::ui
