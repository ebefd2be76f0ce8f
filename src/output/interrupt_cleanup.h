#pragma once
// Temporary files and directories that must not outlive the process. While a
// path is registered here, SIGINT, SIGTERM and SIGHUP remove it before the
// process ends as the signal asks (the handler only calls unlink and rmdir,
// which may be called from a signal handler). Registering the first path
// installs the handler; a signal that the process ignores stays ignored.
// Paths are registered by one thread at a time; the signals are handled on
// the thread that registered last, whichever thread of the process (Qt's,
// a graphics library's) they are delivered to.

#include <string>

#include <signal.h>

namespace envelope {

enum class CleanupKind { File, Directory };

// Registers the path and returns its slot, or -1 when the table is full or
// the path too long.
int RegisterForCleanup(const std::string& path, CleanupKind kind);

// The path is in place or gone: the handler leaves it alone from now on.
void ForgetCleanup(int slot);

// Removes every registered path now: the files first, then the directories,
// each after those inside it. Safe in a signal handler, and for a process
// that is about to end without unwinding.
void RemoveRegisteredPaths() noexcept;

// Holds back SIGINT, SIGTERM and SIGHUP in this thread while it lives, so
// that a path is never made without being registered, and a set of files is
// put in place as one step. A signal that arrives meanwhile, at this thread
// or at any other, is handled when it ends.
class SignalsHeld {
public:
    SignalsHeld();
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;
    ~SignalsHeld();

private:
    sigset_t previous_;
};

} // namespace envelope
