#pragma once
// The schema editor window (placeholder until the editor lands).

#include <QDialog>

#include "ui/common/services.h"

namespace trelmo::ui {

class FrmEdit : public QDialog {
    Q_OBJECT
public:
    explicit FrmEdit(UiServices& services, QWidget* owner = nullptr);

private:
    UiServices& services_;
};

}  // namespace trelmo::ui
