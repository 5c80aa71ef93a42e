// Files dropped onto the conversion window, from a file manager or any
// program that drags text/uri-list.
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <string>
#include <vector>

#include "ui/common/dropped_files.h"
#include "ui/convert/frm_main.h"

namespace trelmo::ui {
namespace {

constexpr const char* kNotLocal = "このコンピューターのファイルではありません。";
constexpr const char* kNoKind = "CSV (.csv)、スキーマ (.dsd)、XML (.xml) のどれでもありません。";
constexpr const char* kSameKind = "同じ種類のファイルがほかにもドロップされています。";

std::string refusal(const QString& what, const char* reason) {
    return "「" + what.toStdString() + "」 は使えません: " + reason;
}

}  // namespace

bool FrmMain::fileDrag(QEvent* event, QLineEdit* target) {
    // No drop while a conversion runs: the boxes show what is converted.
    return takeFileDrag(event, !busy_, [&](const DroppedFiles& files) { takeDroppedFiles(files, target); });
}

void FrmMain::dragEnterEvent(QDragEnterEvent* event) { fileDrag(event, nullptr); }

void FrmMain::dragMoveEvent(QDragMoveEvent* event) { fileDrag(event, nullptr); }

void FrmMain::dropEvent(QDropEvent* event) { fileDrag(event, nullptr); }

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    const bool pathBox = box && (box == Text1 || box == Text2 || box == Text3);
    if (pathBox && fileDrag(event, box)) return true;
    return QWidget::eventFilter(watched, event);
}

QLineEdit* FrmMain::boxForFile(const QString& path) const {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("csv")) return Text1;
    if (suffix == QLatin1String("dsd")) return Text2;
    if (suffix == QLatin1String("xml")) return Text3;
    return nullptr;
}

void FrmMain::takeDroppedFiles(const DroppedFiles& files, QLineEdit* target) {
    std::vector<std::string> refused;
    for (const QString& url : files.refused) refused.push_back(refusal(url, kNotLocal));
    if (target && files.paths.size() == 1) {
        target->setText(QDir::toNativeSeparators(files.paths.first()));
    } else {
        std::vector<const QLineEdit*> filled;
        for (const QString& path : files.paths) {
            const QString native = QDir::toNativeSeparators(path);
            QLineEdit* box = boxForFile(path);
            if (!box) {
                refused.push_back(refusal(native, kNoKind));
            } else if (std::find(filled.begin(), filled.end(), box) != filled.end()) {
                refused.push_back(refusal(native, kSameKind));
            } else {
                box->setText(native);
                filled.push_back(box);
            }
        }
    }
    if (refused.empty()) return;
    std::string text;
    for (const std::string& line : refused) text += (text.empty() ? "" : "\r\n") + line;
    // Once the drop is over: the program the files came from waits for its end.
    QTimer::singleShot(0, this, [this, text] { services_.messages.show(text, MsgIcon::Exclamation); });
}

}  // namespace trelmo::ui
