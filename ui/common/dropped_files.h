#pragma once
// Files dropped from a file manager arrive as text/uri-list. Only local files
// are taken; anything else is named back so the window can refuse it.

#include <QStringList>
#include <functional>

class QEvent;
class QMimeData;

namespace trelmo::ui {

struct DroppedFiles {
    QStringList paths;    // local files, in the order dropped
    QStringList refused;  // what is not a local file, as the URL reads
};

// True when the data carries URLs, so that a drag may be accepted.
bool carriesUrls(const QMimeData* data);

DroppedFiles droppedFiles(const QMimeData* data);

// A drag of files (enter, move or drop) that the widget takes while `allowed`:
// accepted, and on the drop its files handed to `dropped`. False for any other
// event, which the widget then handles as usual (text dropped as text).
bool takeFileDrag(QEvent* event, bool allowed,
                  const std::function<void(const DroppedFiles&)>& dropped);

}  // namespace trelmo::ui
