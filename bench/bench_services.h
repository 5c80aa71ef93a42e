#pragma once
// Stand-ins for the windows' message boxes, file dialogs and pointer, so the
// benchmarks drive the real windows without anyone at the screen.

#include <QString>
#include <cstdio>
#include <optional>
#include <utility>

#include "engine/messages.h"
#include "ui/common/file_dialog.h"
#include "ui/common/services.h"

namespace trelmo::bench {

// Answers OK and prints the text, since a benchmark expects no message.
class PrintedMessages : public MessageSink {
public:
    using MessageSink::show;
    MsgAnswer show(const Message& message) override {
        std::fprintf(stderr, "message: %s\n", message.text.c_str());
        return MsgAnswer::Ok;
    }
};

// Every file dialog chooses the same file; an empty path cancels.
class FixedFile : public ui::FileDialogBackend {
public:
    explicit FixedFile(QString path = {}) : path_(std::move(path)) {}
    std::optional<QString> run(ui::FileDialogMode, const ui::FileDialogSettings&) override {
        if (path_.isEmpty()) return std::nullopt;
        return path_;
    }

private:
    QString path_;
};

class NoCursor : public ui::CursorControl {
public:
    void setWait(bool) override {}
};

}  // namespace trelmo::bench
