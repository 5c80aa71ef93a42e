#pragma once
// The faults the XSD finds in the XML preview, listed under it: a row each
// with its record, column, node path and reason; the XSD's load problem as
// one row; hidden when the schema names no XSD.

#include <QTreeWidget>

#include "engine/xsd/preview_check.h"

namespace trelmo::ui {

class XsdFaultList : public QTreeWidget {
    Q_OBJECT
public:
    explicit XsdFaultList(QWidget* parent = nullptr);

    // Lists the result of a check; a result neither checked nor with a problem hides the list.
    void showResult(const xsd::PreviewXsdResult& result);
    const std::vector<xsd::PreviewFault>& faults() const { return faults_; }

signals:
    // A fault double-clicked (or Enter pressed on it).
    void faultActivated(const xsd::PreviewFault& fault);

private:
    std::vector<xsd::PreviewFault> faults_;
};

}  // namespace trelmo::ui
