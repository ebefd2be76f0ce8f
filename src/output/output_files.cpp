#include "output/output_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "output/interrupt_cleanup.h"
#include "output/path_names.h"
#include "output/target_check.h"
#include "output/temporary_names.h"

namespace envelope {

namespace {

std::string SystemError(int error)
{
    return std::strerror(error);
}

// The permissions a new file gets from the process's umask.
mode_t NewFileMode()
{
    static const mode_t mode = [] {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return static_cast<mode_t>(0666 & ~mask);
    }();
    return mode;
}

// Writes everything and makes it durable; 0 or the errno value.
int WriteAll(int descriptor, std::string_view contents)
{
    while (!contents.empty()) {
        const ssize_t written = ::write(descriptor, contents.data(), contents.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
    return ::fsync(descriptor) == 0 ? 0 : errno;
}

} // namespace

OutputFiles::~OutputFiles()
{
    for (const Pending& file : pending_) {
        ::unlink(file.temporary.c_str());
        ForgetCleanup(file.slot);
    }
    for (auto made = scratchDirectories_.rbegin(); made != scratchDirectories_.rend(); ++made) {
        ::rmdir(made->path.c_str());
        ForgetCleanup(made->slot);
    }
    for (auto made = madeDirectories_.rbegin(); made != madeDirectories_.rend(); ++made) {
        if (!committed_)
            ::rmdir(made->path.c_str());
        ForgetCleanup(made->slot);
    }
}

bool OutputFiles::fail(std::string problem)
{
    problem_ = std::move(problem);
    return false;
}

bool OutputFiles::makeDirectories(const std::string& directory)
{
    std::vector<std::string> missing;
    struct stat status {};
    for (std::string path = directory; ::lstat(path.c_str(), &status) != 0; path = ParentOf(path)) {
        if (errno != ENOENT || ParentOf(path) == path)
            break;
        missing.push_back(path);
    }
    for (auto path = missing.rbegin(); path != missing.rend(); ++path) {
        const SignalsHeld held;
        if (::mkdir(path->c_str(), 0777) != 0)
            return fail("cannot create directory " + QuotedName(*path) + ": " + SystemError(errno));
        const int slot = RegisterForCleanup(*path, CleanupKind::Directory);
        if (slot < 0) {
            ::rmdir(path->c_str());
            return fail("cannot create directory " + QuotedName(*path) + ": too many files at once");
        }
        madeDirectories_.push_back({*path, slot});
    }
    if (std::find(cleaned_.begin(), cleaned_.end(), directory) == cleaned_.end()) {
        RemoveStaleTemporaries(directory);
        cleaned_.push_back(directory);
    }
    return true;
}

bool OutputFiles::add(const std::string& fileName, std::string_view contents)
{
    std::string target;
    int error = 0;
    if (!FollowLinks(fileName, target, error))
        return fail("cannot write " + QuotedName(fileName) + ": " + SystemError(error));
    if (!makeDirectories(ParentOf(target)))
        return false;
    if (struct stat directory {}; ::stat(ParentOf(target).c_str(), &directory) != 0 || !S_ISDIR(directory.st_mode))
        return fail(QuotedName(ParentOf(target)) + " is not a directory");

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return fail("cannot write " + QuotedName(fileName) + ": " + SystemError(EISDIR));
    // A replaced file keeps its permissions.
    const mode_t mode = exists ? (existing.st_mode & 07777) : NewFileMode();
    std::string temporary = TemporaryFileTemplate(target);
    int descriptor = -1;
    {
        const SignalsHeld held;
        descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
        if (descriptor < 0)
            return fail("cannot write " + QuotedName(fileName) + ": " + SystemError(errno));
        const int slot = RegisterForCleanup(temporary, CleanupKind::File);
        if (slot < 0) {
            ::close(descriptor);
            ::unlink(temporary.c_str());
            return fail("cannot write " + QuotedName(fileName) + ": too many files at once");
        }
        pending_.push_back({temporary, target, slot});
    }
    error = ::fchmod(descriptor, mode) == 0 ? WriteAll(descriptor, contents) : errno;
    if (::close(descriptor) != 0 && error == 0)
        error = errno;
    if (error != 0)
        return fail("cannot write " + QuotedName(fileName) + ": " + SystemError(error));
    return true;
}

std::string OutputFiles::scratchDirectory(const std::string& target)
{
    std::string followed;
    int error = 0;
    if (!FollowLinks(target, followed, error)) {
        fail("cannot write " + QuotedName(target) + ": " + SystemError(error));
        return {};
    }
    if (!makeDirectories(ParentOf(followed)))
        return {};
    std::string directory = ScratchDirectoryTemplate(ParentOf(followed));
    const SignalsHeld held;
    if (::mkdtemp(directory.data()) == nullptr) {
        fail("cannot write " + QuotedName(target) + ": " + SystemError(errno));
        return {};
    }
    const int slot = RegisterForCleanup(directory, CleanupKind::Directory);
    if (slot < 0) {
        ::rmdir(directory.c_str());
        fail("cannot write " + QuotedName(target) + ": too many files at once");
        return {};
    }
    scratchDirectories_.push_back({directory, slot});
    return directory;
}

bool OutputFiles::commit()
{
    const SignalsHeld held;
    for (auto file = pending_.begin(); file != pending_.end(); file = pending_.erase(file)) {
        if (::rename(file->temporary.c_str(), file->target.c_str()) != 0)
            return fail("cannot write " + QuotedName(file->target) + ": " + SystemError(errno));
        ForgetCleanup(file->slot);
        // The directories now hold a file that is in place.
        committed_ = true;
    }
    committed_ = true;
    return true;
}

} // namespace envelope
