#include "tests/support/recording_messages.h"

namespace trelmo::test {

MsgAnswer RecordingMessages::show(const Message& message) {
    if (onShow) onShow(message);
    shown.push_back(message);
    if (!answers_.empty()) {
        MsgAnswer answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    switch (message.buttons) {
    case MsgButtons::Ok:
    case MsgButtons::OkCancel: return MsgAnswer::Ok;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel: return MsgAnswer::Yes;
    }
    return MsgAnswer::Ok;
}

std::vector<std::string> RecordingMessages::texts() const {
    std::vector<std::string> result;
    for (const auto& m : shown) result.push_back(m.text);
    return result;
}

}  // namespace trelmo::test
