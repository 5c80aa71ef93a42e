#pragma once
// File dialogs go through this seam: a window owns one CommonDialog (its shared
// dialog object, whose properties keep their last value between uses) and the
// dialog shows itself through a FileDialogBackend: Qt's in the program,
// a scripted one in tests.

#include <QString>

#include "engine/messages.h"
#include <optional>

namespace trelmo::ui {

enum class FileDialogMode { Open, Save };

// Dialog flags, as the window code sets them.
namespace dlgflags {
inline constexpr int OverwritePrompt = 0x2;
inline constexpr int HideReadOnly = 0x4;
inline constexpr int ExtensionDifferent = 0x400;
inline constexpr int FileMustExist = 0x1000;
}  // namespace dlgflags

struct FileDialogSettings {
    QString title;
    QString fileName;
    QString filter;  // "description|pattern|description|pattern"
    int flags = 0;
    QString defaultExt;  // without the dot
    bool cancelError = false;
    // The folder the dialog opens in; when empty, the folder of the last
    // choice made through the same CommonDialog (at first the working folder).
    QString initDir;
};

class FileDialogBackend {
public:
    virtual ~FileDialogBackend() = default;
    // The chosen full path, or nullopt when the user cancelled. Throws
    // trelmo::RuntimeError when the dialog itself fails.
    virtual std::optional<QString> run(FileDialogMode mode, const FileDialogSettings& settings) = 0;
};

// The shared dialog object of one window. It remembers the folder of the last
// file chosen through it, apart from its settings, so that the window's next
// dialog opens there.
class CommonDialog {
public:
    explicit CommonDialog(FileDialogBackend& backend) : backend_(backend) {}

    FileDialogSettings settings;

    // Shows the dialog. On a choice, settings.fileName is the full path (with
    // the default extension added to a name that has none, unless an open
    // dialog finds the name as it is). On cancel it is
    // empty, and with cancelError set a RuntimeError numbered err::Cancelled
    // is thrown.
    void showOpen();
    void showSave();

    // The file choosers' pattern: shows the dialog and returns true with a
    // chosen path in settings.fileName. Cancelling returns false silently; a
    // dialog that failed shows its description as a plain message first.
    bool choose(FileDialogMode mode, MessageSink& messages);
    // The same for a chooser's request: the title, filter and flags set, the
    // file name cleared and cancelling made an error; the other settings
    // (the default extension among them) keep their last values.
    bool choose(FileDialogMode mode, const QString& title, const QString& filter, int flags, MessageSink& messages);

private:
    void show(FileDialogMode mode);
    FileDialogBackend& backend_;
    QString lastFolder_;
};

}  // namespace trelmo::ui
