#pragma once
// Temporary files that SIGINT, SIGTERM or SIGHUP must not leave behind: the
// handler removes every registered file and ends the process with the signal
// (the status a shell shows as 128 + the signal's number). Signals that were
// ignored or handled elsewhere when the first file was registered are left
// alone.

#include <signal.h>

#include <string>

namespace trelmo::xml::detail {

// Blocks the three signals in the calling thread for its lifetime, so that
// creating a file and registering it happen as one step.
class SignalBlock {
public:
    SignalBlock();
    ~SignalBlock();
    SignalBlock(const SignalBlock&) = delete;
    SignalBlock& operator=(const SignalBlock&) = delete;

private:
    sigset_t saved_;
};

// Registers a temporary file for removal on those signals; false when every
// slot is taken or the path is too long (the file is then only removed by
// its owner).
bool registerTemp(const std::string& path);
void unregisterTemp(const std::string& path);

}  // namespace trelmo::xml::detail
