#pragma once
// A task run beside the calling thread. When the system gives no thread (a
// limit on processes or on memory), the task runs on the calling thread
// instead: the result is the same, only later. Such runs are counted.

#include <exception>
#include <functional>
#include <thread>

namespace trelmo {

class SideThread {
public:
    SideThread() = default;
    ~SideThread() { wait(); }
    SideThread(const SideThread&) = delete;
    SideThread& operator=(const SideThread&) = delete;

    // Starts task on a thread of its own, or runs it now when none starts.
    void start(std::function<void()> task);
    // Waits for the task; raises what it raised.
    void join();

private:
    void wait();

    std::function<void()> task_;
    std::thread thread_;
    std::exception_ptr failure_;
};

// How many tasks, in this process so far, ran on the calling thread because no
// thread could be started for them (SideThread and the conversion's helpers).
unsigned long threadsNotStarted();
void countThreadNotStarted();

}  // namespace trelmo
