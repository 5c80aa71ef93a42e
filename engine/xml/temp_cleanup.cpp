#include "engine/xml/temp_cleanup.h"

#include <climits>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace trelmo::xml::detail {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Fixed storage, so that the handler reads it without allocating or locking.
// A path is complete before `used` is set and `used` is cleared before the
// path is reused.
struct Slot {
    std::atomic<bool> used{false};
    char path[PATH_MAX];
};
Slot slots[8];
static_assert(std::atomic<bool>::is_always_lock_free);

void removeTempsAndRaise(int sig) {
    const int saved = errno;
    for (Slot& slot : slots) {
        if (slot.used.load()) ::unlink(slot.path);
    }
    // The signal is blocked while its handler runs: raised again with the
    // default action, it ends the process as soon as the handler returns.
    ::signal(sig, SIG_DFL);
    ::raise(sig);
    errno = saved;
}

void installHandlers() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    for (int sig : kSignals) {
        struct sigaction old {};
        if (::sigaction(sig, nullptr, &old) != 0) continue;
        if ((old.sa_flags & SA_SIGINFO) != 0 || old.sa_handler != SIG_DFL) continue;
        struct sigaction action {};
        action.sa_handler = removeTempsAndRaise;
        sigemptyset(&action.sa_mask);
        for (int other : kSignals) sigaddset(&action.sa_mask, other);
        ::sigaction(sig, &action, nullptr);
    }
}

}  // namespace

SignalBlock::SignalBlock() {
    sigset_t block;
    sigemptyset(&block);
    for (int sig : kSignals) sigaddset(&block, sig);
    pthread_sigmask(SIG_BLOCK, &block, &saved_);
}

SignalBlock::~SignalBlock() { pthread_sigmask(SIG_SETMASK, &saved_, nullptr); }

bool registerTemp(const std::string& path) {
    installHandlers();
    if (path.size() >= PATH_MAX) return false;
    for (Slot& slot : slots) {
        if (slot.used.load()) continue;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        slot.used.store(true);
        return true;
    }
    return false;
}

void unregisterTemp(const std::string& path) {
    for (Slot& slot : slots) {
        if (slot.used.load() && path == slot.path) {
            slot.used.store(false);
            return;
        }
    }
}

}  // namespace trelmo::xml::detail
