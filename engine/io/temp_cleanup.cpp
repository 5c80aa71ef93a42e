#include "engine/io/temp_cleanup.h"

#include <fcntl.h>
#include <climits>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <vector>

namespace trelmo::fileio {
namespace {

// Fixed storage, so that the handler reads it without allocating or locking.
// A name is complete before `used` is set and `used` is cleared before the
// name is reused.
struct Slot {
    std::atomic<bool> used{false};
    int folder = -1;
    char name[NAME_MAX + 1];
};
Slot slots[8];
static_assert(std::atomic<bool>::is_always_lock_free);

// Every signal whose default action ends the process, save SIGKILL and
// SIGSTOP (which cannot be caught) and SIGXFSZ (ignored instead).
std::vector<int> deadlySignals() {
    std::vector<int> signals = {SIGHUP,  SIGINT,    SIGQUIT, SIGILL,  SIGTRAP,   SIGABRT, SIGBUS,
                                SIGFPE,  SIGUSR1,   SIGSEGV, SIGUSR2, SIGPIPE,   SIGALRM, SIGTERM,
                                SIGXCPU, SIGVTALRM, SIGPROF, SIGIO,   SIGPWR,    SIGSYS};
#ifdef SIGSTKFLT
    signals.push_back(SIGSTKFLT);
#endif
    for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig) signals.push_back(sig);
    return signals;
}

const std::vector<int>& signalList() {
    static const std::vector<int> signals = deadlySignals();
    return signals;
}

sigset_t signalSet() {
    sigset_t set;
    sigemptyset(&set);
    for (int sig : signalList()) sigaddset(&set, sig);
    return set;
}

void removeTempsAndRaise(int sig) {
    const int saved = errno;
    for (Slot& slot : slots) {
        if (slot.used.load()) ::unlinkat(slot.folder, slot.name, 0);
    }
    // The signal is blocked while its handler runs: raised again with the
    // default action, it ends the process as soon as the handler returns (a
    // fault comes again at the same instruction).
    ::signal(sig, SIG_DFL);
    ::raise(sig);
    errno = saved;
}

bool hasDefaultAction(int sig) {
    struct sigaction old {};
    if (::sigaction(sig, nullptr, &old) != 0) return false;
    return (old.sa_flags & SA_SIGINFO) == 0 && old.sa_handler == SIG_DFL;
}

void installHandlers() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction action {};
        action.sa_handler = removeTempsAndRaise;
        action.sa_mask = signalSet();
        for (int sig : signalList()) {
            if (hasDefaultAction(sig)) ::sigaction(sig, &action, nullptr);
        }
    });
}

}  // namespace

SignalBlock::SignalBlock() {
    const sigset_t block = signalSet();
    pthread_sigmask(SIG_BLOCK, &block, &saved_);
}

SignalBlock::~SignalBlock() { pthread_sigmask(SIG_SETMASK, &saved_, nullptr); }

void ignoreFileSizeSignal() {
    static std::once_flag ignored;
    std::call_once(ignored, [] {
        if (hasDefaultAction(SIGXFSZ)) ::signal(SIGXFSZ, SIG_IGN);
    });
}

bool registerTemp(int folder, const std::string& name) {
    installHandlers();
    if (name.size() > NAME_MAX) return false;
    for (Slot& slot : slots) {
        if (slot.used.load()) continue;
        slot.folder = folder;
        std::memcpy(slot.name, name.c_str(), name.size() + 1);
        slot.used.store(true);
        return true;
    }
    return false;
}

void unregisterTemp(int folder, const std::string& name) {
    for (Slot& slot : slots) {
        if (slot.used.load() && slot.folder == folder && name == slot.name) {
            slot.used.store(false);
            return;
        }
    }
}

}  // namespace trelmo::fileio
