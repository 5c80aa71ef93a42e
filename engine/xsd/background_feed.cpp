#include "engine/xsd/background_feed.h"

namespace trelmo::xsd {

BackgroundFeed::BackgroundFeed(xml::detail::ByteSink& target) : target_(target), thread_([this] { run(); }) {}

BackgroundFeed::~BackgroundFeed() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void BackgroundFeed::write(const char* data, std::size_t size) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return pieces_.size() < kQueued || failure_; });
    if (failure_) std::rethrow_exception(failure_);
    std::string piece;
    if (!spare_.empty()) {
        piece = std::move(spare_.front());
        spare_.pop_front();
    }
    piece.assign(data, size);
    pieces_.push_back(std::move(piece));
    lock.unlock();
    changed_.notify_all();
}

void BackgroundFeed::finish() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return (pieces_.empty() && !busy_) || failure_; });
    if (failure_) std::rethrow_exception(failure_);
}

void BackgroundFeed::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !pieces_.empty() || stopping_; });
        if (stopping_) return;
        std::string piece = std::move(pieces_.front());
        pieces_.pop_front();
        busy_ = true;
        lock.unlock();
        changed_.notify_all();
        std::exception_ptr failure;
        try {
            target_.write(piece.data(), piece.size());
        } catch (...) {
            failure = std::current_exception();  // carried to the writing thread
        }
        lock.lock();
        busy_ = false;
        if (failure && !failure_) failure_ = failure;
        if (spare_.size() < kQueued) spare_.push_back(std::move(piece));
        changed_.notify_all();
        if (failure_) return;
    }
}

}  // namespace trelmo::xsd
