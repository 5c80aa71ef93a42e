#pragma once
// The schema editor window (placeholder until the editor lands).

#include <QDialog>

namespace trelmo::ui {

class FrmEdit : public QDialog {
    Q_OBJECT
public:
    explicit FrmEdit(QWidget* owner = nullptr);
};

}  // namespace trelmo::ui
