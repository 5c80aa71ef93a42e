#pragma once
// Temporary files that a signal must not leave behind. Every signal whose
// default action ends the process and that can be caught (SIGKILL cannot)
// gets a handler that removes every registered file and ends the process
// with the signal (the status a shell shows as 128 + the signal's number).
// SIGXFSZ is ignored instead, so that a write past the file-size limit fails
// with EFBIG and the save's own failure path removes the file and says why.
// Signals that were ignored or handled elsewhere are left alone.

#include <signal.h>

#include <string>

namespace trelmo::fileio {

// Blocks those signals in the calling thread for its lifetime, so that
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

// SIGXFSZ ignored (when its action is the default), before anything is written.
void ignoreFileSizeSignal();

// Registers the file `name` in the folder open as `folder` (which must stay
// open while it is registered) for removal on those signals; false when every
// slot is taken or the name is too long (the file is then only removed by its
// owner).
bool registerTemp(int folder, const std::string& name);
void unregisterTemp(int folder, const std::string& name);

}  // namespace trelmo::fileio
