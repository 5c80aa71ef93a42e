#include "engine/side_thread.h"

#include <atomic>
#include <system_error>
#include <utility>

namespace trelmo {
namespace {
std::atomic<unsigned long> notStarted{0};
}  // namespace

unsigned long threadsNotStarted() { return notStarted.load(); }
void countThreadNotStarted() { notStarted.fetch_add(1, std::memory_order_relaxed); }

void SideThread::start(std::function<void()> task) {
    task_ = std::move(task);
    const auto run = [this] {
        try {
            task_();
        } catch (...) {
            failure_ = std::current_exception();  // raised again by join()
        }
    };
    try {
        thread_ = std::thread(run);
    } catch (const std::system_error&) {
        countThreadNotStarted();
        run();
    }
}

void SideThread::wait() {
    if (thread_.joinable()) thread_.join();
}

void SideThread::join() {
    wait();
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

}  // namespace trelmo
