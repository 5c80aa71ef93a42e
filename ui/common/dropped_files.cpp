#include "ui/common/dropped_files.h"

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

}  // namespace trelmo::ui
