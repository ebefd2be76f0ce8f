#include "output/interrupt_cleanup.h"

#include <atomic>
#include <climits>
#include <csignal>
#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace envelope {

namespace {

constexpr int SlotCount = 32;
constexpr int TerminatingSignals[] = {SIGINT, SIGTERM, SIGHUP};

enum SlotState : int { Free = 0, HoldsFile = 1, HoldsDirectory = 2 };

struct Slot {
    volatile std::sig_atomic_t state = Free;
    char path[PATH_MAX] = {};
};

// A fixed table: the handler must not allocate or follow owning pointers.
Slot slots[SlotCount];
bool handlerInstalled = false;
// The thread that registers paths, and so makes them (a lock-free atomic,
// which a signal handler may read).
std::atomic<pid_t> registeringThread{0};
static_assert(std::atomic<pid_t>::is_always_lock_free);

extern "C" void RemoveAndResignal(int signal)
{
    // A signal sent to the process goes to any thread that does not hold it
    // back. Taken by another thread while the registering one holds it back
    // (between making a path and registering it, or amid putting a set in
    // place), it is passed on to the registering thread, which handles it
    // once it lets signals through again: nothing is then made after the
    // paths are removed, nor half a set put in place.
    const pid_t registering = registeringThread.load();
    if (registering != 0 && registering != ::gettid() && ::tgkill(::getpid(), registering, signal) == 0)
        return;
    RemoveRegisteredPaths();
    // Raised again with the default action, the signal ends the process as
    // it would have without the handler, once this handler returns.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(signal, &fallback, nullptr);
    ::raise(signal);
}

void InstallHandler()
{
    if (handlerInstalled)
        return;
    handlerInstalled = true;
    for (const int signal : TerminatingSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = RemoveAndResignal;
        sigemptyset(&action.sa_mask);
        for (const int other : TerminatingSignals)
            sigaddset(&action.sa_mask, other);
        ::sigaction(signal, &action, nullptr);
    }
}

sigset_t TerminatingSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : TerminatingSignals)
        sigaddset(&set, signal);
    return set;
}

} // namespace

int RegisterForCleanup(const std::string& path, CleanupKind kind)
{
    if (path.size() >= PATH_MAX)
        return -1;
    const SignalsHeld held;
    InstallHandler();
    registeringThread = ::gettid();
    for (int index = 0; index < SlotCount; ++index) {
        Slot& slot = slots[index];
        if (slot.state != Free)
            continue;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        slot.state = kind == CleanupKind::File ? HoldsFile : HoldsDirectory;
        return index;
    }
    return -1;
}

void ForgetCleanup(int slot)
{
    if (slot >= 0 && slot < SlotCount)
        slots[slot].state = Free;
}

void RemoveRegisteredPaths() noexcept
{
    const int savedErrno = errno;
    for (Slot& slot : slots)
        if (slot.state == HoldsFile)
            ::unlink(slot.path);
    // A directory goes once the ones made inside it have gone.
    for (bool removed = true; removed;) {
        removed = false;
        for (Slot& slot : slots)
            if (slot.state == HoldsDirectory && ::rmdir(slot.path) == 0) {
                slot.state = Free;
                removed = true;
            }
    }
    errno = savedErrno;
}

SignalsHeld::SignalsHeld()
{
    const sigset_t block = TerminatingSet();
    ::pthread_sigmask(SIG_BLOCK, &block, &previous_);
}

SignalsHeld::~SignalsHeld()
{
    ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

} // namespace envelope
