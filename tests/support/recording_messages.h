#pragma once
// A message sink for tests: records every message and answers from a script.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "engine/messages.h"

namespace trelmo::test {

class RecordingMessages : public MessageSink {
public:
    using MessageSink::show;

    MsgAnswer show(const Message& message) override;

    // Answers for the next messages, in order; without one, the first button.
    void answerNext(MsgAnswer answer) { answers_.push_back(answer); }
    // Forgets the answers not yet given.
    void clearAnswers() { answers_.clear(); }

    std::vector<std::string> texts() const;
    std::vector<Message> shown;
    // Called as each message comes up, to look at the window at that moment.
    std::function<void(const Message&)> onShow;

private:
    std::deque<MsgAnswer> answers_;
};

}  // namespace trelmo::test
