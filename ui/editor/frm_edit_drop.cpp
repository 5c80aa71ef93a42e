// Files dropped onto the editor from a file manager: a schema opens as
// "スキーマを開く" would, a CSV is listed as "CSVを開く" would; anything else,
// and what is not a local file, is refused by name.
#include <QComboBox>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>

#include "ui/common/dropped_files.h"
#include "ui/editor/frm_edit.h"

namespace trelmo::ui {

namespace {
const char* const kNotOpened =
    "開けないファイルです（このコンピューターにあるスキーマ(*.dsd)とCSV(*.csv)だけを開けます）：";
}

void FrmEdit::dragEnterEvent(QDragEnterEvent* event) { FileDrag(event); }

void FrmEdit::dragMoveEvent(QDragMoveEvent* event) { FileDrag(event); }

void FrmEdit::dropEvent(QDropEvent* event) { FileDrag(event); }

bool FrmEdit::FileDrag(QEvent* event) {
    return takeFileDrag(event, true, [this](const DroppedFiles& files) {
        // Opened once the drop has ended, so that the file manager is not
        // held by a question or a message.
        QMetaObject::invokeMethod(this, [this, files] { OpenDroppedFiles(files); },
                                  Qt::QueuedConnection);
    });
}

void FrmEdit::OpenDroppedFiles(const DroppedFiles& files) {
    QStringList refused;
    for (const QString& path : files.paths) {
        const QString suffix = QFileInfo(path).suffix().toLower();
        if (suffix == QLatin1String("dsd"))
            OpenSchemaFile(path);
        else if (suffix == QLatin1String("csv"))
            OpenCsvFile(path);
        else
            refused << path;
    }
    refused << files.refused;
    if (refused.isEmpty()) return;
    services_.messages.show(Message{kNotOpened + ("\r\n" + refused.join("\r\n")).toStdString(),
                                    MsgButtons::Ok, MsgIcon::Exclamation, 0});
}

}  // namespace trelmo::ui
