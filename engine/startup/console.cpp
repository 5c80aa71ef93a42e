#include "engine/startup/console.h"

namespace trelmo {

MsgAnswer StreamMessages::show(const Message& message) {
    out_ << visibleText(message.text) << "\r\n";
    if (!message.details.empty()) out_ << visibleText(message.details) << "\r\n";
    out_.flush();
    const bool yes = message.buttons == MsgButtons::YesNo || message.buttons == MsgButtons::YesNoCancel;
    return yes ? MsgAnswer::Yes : MsgAnswer::Ok;
}

}  // namespace trelmo
