#pragma once
// Messages of a command-line run: the exact texts on standard error.

#include <ostream>

#include "engine/messages.h"

namespace trelmo {

class StreamMessages final : public MessageSink {
public:
    explicit StreamMessages(std::ostream& out) : out_(out) {}
    using MessageSink::show;
    // Writes the text and a line break; answers with the first button.
    MsgAnswer show(const Message& message) override;

private:
    std::ostream& out_;
};

}  // namespace trelmo
