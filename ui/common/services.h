#pragma once
// What a window needs from the desktop: message boxes, file dialogs and the
// mouse pointer. The program passes the Qt ones, tests pass scripted ones.

#include "engine/messages.h"
#include "ui/common/cursor.h"
#include "ui/common/file_dialog.h"

namespace trelmo::ui {

struct UiServices {
    MessageSink& messages;
    FileDialogBackend& files;
    CursorControl& cursor;
};

}  // namespace trelmo::ui
