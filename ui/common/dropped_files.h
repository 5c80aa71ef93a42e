#pragma once
// Files dropped from a file manager arrive as text/uri-list. Only local files
// are taken; anything else is named back so the window can refuse it.

#include <QStringList>

class QMimeData;

namespace trelmo::ui {

struct DroppedFiles {
    QStringList paths;    // local files, in the order dropped
    QStringList refused;  // what is not a local file, as the URL reads
};

// True when the data carries URLs, so that a drag may be accepted.
bool carriesUrls(const QMimeData* data);

DroppedFiles droppedFiles(const QMimeData* data);

}  // namespace trelmo::ui
