#include "ui/common/dropped_files.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace trelmo::ui {

bool carriesUrls(const QMimeData* data) { return data != nullptr && data->hasUrls(); }

DroppedFiles droppedFiles(const QMimeData* data) {
    DroppedFiles files;
    if (!carriesUrls(data)) return files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty()) {
            files.paths << url.toLocalFile();
        } else {
            files.refused << url.toDisplayString();
        }
    }
    return files;
}

bool takeFileDrag(QEvent* event, bool allowed,
                  const std::function<void(const DroppedFiles&)>& dropped) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
    auto* drag = static_cast<QDropEvent*>(event);
    if (!allowed || !carriesUrls(drag->mimeData())) return false;
    drag->acceptProposedAction();
    if (type == QEvent::Drop) dropped(droppedFiles(drag->mimeData()));
    return true;
}

}  // namespace trelmo::ui
