#include "ui/common/engine_path.h"

#include <QFile>

namespace trelmo::ui {

std::string enginePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace trelmo::ui
