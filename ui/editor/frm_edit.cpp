#include "ui/editor/frm_edit.h"

namespace trelmo::ui {

FrmEdit::FrmEdit(QWidget* owner) : QDialog(owner) {
    setObjectName("frmEdit");
    setWindowTitle(QString::fromUtf8("Trelmo - DSD スキーマ\u3000エディター"));
}

}  // namespace trelmo::ui
