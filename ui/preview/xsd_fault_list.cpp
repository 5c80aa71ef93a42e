#include "ui/preview/xsd_fault_list.h"

#include <QHeaderView>

#include "engine/xsd/fault_text.h"

namespace trelmo::ui {
namespace {

QString u8(const std::string& text) { return QString::fromStdString(text); }
QString numberOrNone(std::size_t n) { return n == 0 ? QString() : QString::number(n); }

}  // namespace

XsdFaultList::XsdFaultList(QWidget* parent) : QTreeWidget(parent) {
    setObjectName("lstXsdFaults");
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setHeaderLabels({QStringLiteral("レコード"), QStringLiteral("列"), QStringLiteral("ノード"),
                     QStringLiteral("理由")});
    header()->setStretchLastSection(true);
    hide();
    connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const int at = indexOfTopLevelItem(item);
        if (at >= 0 && static_cast<std::size_t>(at) < faults_.size()) emit faultActivated(faults_[static_cast<std::size_t>(at)]);
    });
}

void XsdFaultList::showResult(const xsd::PreviewXsdResult& result) {
    clear();
    faults_ = result.faults;
    setVisible(result.checked || !result.problem.empty());
    if (!result.problem.empty()) {
        auto* item = new QTreeWidgetItem(this);
        item->setFirstColumnSpanned(true);
        item->setText(0, u8(result.problem));
        return;
    }
    if (!result.checked) return;
    if (faults_.empty()) {
        auto* item = new QTreeWidgetItem(this);
        item->setFirstColumnSpanned(true);
        item->setText(0, QStringLiteral("検証用XSDに合っています。"));
        return;
    }
    for (const xsd::PreviewFault& fault : faults_) {
        auto* item = new QTreeWidgetItem(this);
        item->setText(0, numberOrNone(fault.record));
        item->setText(1, numberOrNone(fault.column));
        item->setText(2, u8(fault.attribute.empty() ? fault.path : fault.path + "/@" + fault.attribute));
        item->setText(3, u8(fault.reason));
        item->setToolTip(3, u8(fault.line));
    }
    if (result.total > faults_.size()) {
        auto* more = new QTreeWidgetItem(this);
        more->setFirstColumnSpanned(true);
        more->setText(0, u8(xsd::moreFaultsLine(result.total - faults_.size())));
    }
    resizeColumnToContents(0);
    resizeColumnToContents(1);
    resizeColumnToContents(2);
}

}  // namespace trelmo::ui
