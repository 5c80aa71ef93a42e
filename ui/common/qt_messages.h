#pragma once
// Message boxes over QMessageBox: the application's title, the buttons, icon
// and default button each message names, "\r\n" as a line break.

#include <QMessageBox>
#include <QPointer>
#include <memory>

#include "engine/messages.h"

namespace trelmo::ui {

class QtMessages final : public MessageSink {
public:
    // Without an owner, each box is parented to the active modal window or,
    // failing that, the active window.
    explicit QtMessages(QWidget* owner = nullptr) : owner_(owner) {}
    using MessageSink::show;
    MsgAnswer show(const Message& message) override;

private:
    QPointer<QWidget> owner_;
};

// The box for a message, ready to exec (separate so tests can check it).
std::unique_ptr<QMessageBox> makeMessageBox(const Message& message, QWidget* parent);

// The answer for the button that closed the box.
MsgAnswer answerFor(QMessageBox::StandardButton button, MsgButtons buttons);

}  // namespace trelmo::ui
