#include "engine/startup/console.h"

namespace trelmo {

MsgAnswer StreamMessages::show(const Message& message) {
    out_ << message.text << "\r\n";
    if (!message.details.empty()) out_ << message.details << "\r\n";
    out_.flush();
    return message.buttons == MsgButtons::YesNoCancel ? MsgAnswer::Yes : MsgAnswer::Ok;
}

}  // namespace trelmo
