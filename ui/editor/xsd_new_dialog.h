#pragma once
// The dialog "XSDから作成": the XSD's global elements, the tree below the one
// chosen as the output's root, and in it the record element, the element that
// repeats once per CSV record. The notes say what the schema leaves out.

#include <QDialog>

#include "engine/xsd/xsd_outline.h"

class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace trelmo::ui {

class XsdNewDialog : public QDialog {
    Q_OBJECT
public:
    explicit XsdNewDialog(xsd::XsdOutline outline, QWidget* parent = nullptr);

    const xsd::XsdOutline& outline() const { return outline_; }
    // The output's root element: the global element chosen.
    const xsd::OutlineNode& root() const { return tree_.root; }
    // The record element; null when the root holds no element.
    const xsd::OutlineNode* record() const { return record_; }

private:
    void showRoot(int row);
    void chooseRecord(QTreeWidgetItem* item);
    void showNotes();

    xsd::XsdOutline outline_;
    xsd::OutlineTree tree_;
    const xsd::OutlineNode* record_ = nullptr;
    QListWidget* roots_;
    QTreeWidget* elements_;
    QLabel* recordName_;
    QListWidget* notes_;
    QPushButton* ok_;
};

}  // namespace trelmo::ui
