#include "engine/startup/console.h"

namespace trelmo {

MsgAnswer StreamMessages::show(const Message& message) {
    out_ << visibleText(message.text) << "\r\n";
    out_.flush();
    return message.buttons == MsgButtons::YesNoCancel ? MsgAnswer::Yes : MsgAnswer::Ok;
}

}  // namespace trelmo
