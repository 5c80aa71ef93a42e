#include "ui/editor/frm_edit.h"

namespace trelmo::ui {

FrmEdit::FrmEdit(UiServices& services, QWidget* owner) : QDialog(owner), services_(services) {
    setObjectName("frmEdit");
    setWindowTitle(QString::fromUtf8("Trelmo - DSD スキーマ\u3000エディター"));
}

}  // namespace trelmo::ui
