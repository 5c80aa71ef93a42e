#pragma once
// For the screenshot programs: the schema editor shown with scripted message
// boxes and file dialogs, and, once the windows are drawn, the rectangle that
// holds them ("WxH+X+Y") written to a file, which the scripts wait for.

#include <QString>

#include "tests/support/recording_messages.h"
#include "tests/support/ui/recording_cursor.h"
#include "tests/support/ui/scripted_file_dialog.h"
#include "ui/common/services.h"
#include "ui/editor/frm_edit.h"

class QWidget;

namespace trelmo::test {

struct ScreenshotEditor {
    ScreenshotEditor();
    // Shows the editor near the top left corner; false when it did not come up.
    bool show();

    RecordingMessages messages;
    ScriptedFileDialog files;
    RecordingCursor cursor;
    ui::UiServices services{messages, files, cursor};
    ui::FrmEdit editor;
};

// Writes the geometry of window, and of `extra` when that is shown (may be
// null), after the windows are drawn; the program quits after a minute.
void writeGeometryWhenShown(const QString& path, const QWidget& window, const QWidget* extra);

}  // namespace trelmo::test
