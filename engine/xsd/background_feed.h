#pragma once
// Bytes handed to another sink on a thread of their own, so that checking the
// output runs beside writing it: each write is copied into a queue of at most
// kQueued pieces (the writer waits while it is full), and finish() waits until
// the thread has passed on every piece.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>

#include "engine/xml/byte_sink.h"

namespace trelmo::xsd {

class BackgroundFeed final : public xml::detail::ByteSink {
public:
    static constexpr std::size_t kQueued = 8;

    explicit BackgroundFeed(xml::detail::ByteSink& target);
    ~BackgroundFeed() override;  // stops the thread; pieces not yet passed on are dropped
    BackgroundFeed(const BackgroundFeed&) = delete;
    BackgroundFeed& operator=(const BackgroundFeed&) = delete;

    // Throws what the target threw on an earlier piece.
    void write(const char* data, std::size_t size) override;
    // Waits until every piece is passed on; throws what the target threw.
    void finish();

private:
    void run();

    xml::detail::ByteSink& target_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> pieces_;
    std::deque<std::string> spare_;  // emptied pieces, their memory kept for the next ones
    bool busy_ = false;              // the thread is passing a piece on
    bool stopping_ = false;
    std::exception_ptr failure_;
    std::thread thread_;
};

}  // namespace trelmo::xsd
