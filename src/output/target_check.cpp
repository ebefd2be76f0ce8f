#include "output/target_check.h"

#include <cerrno>
#include <climits>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

#include "output/path_names.h"
#include "output/temporary_names.h"

namespace envelope {

namespace {

constexpr int MaxLinks = 40;

std::string SystemError(int error)
{
    return std::strerror(error);
}

// A name component over NAME_MAX bytes or a path of PATH_MAX bytes or more,
// which the system refuses; the temporary written beside a file must fit
// too.
std::string NameLengthProblem(const std::string& path, const std::string& shown)
{
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        if (end - start > NAME_MAX)
            return "cannot use " + QuotedName(shown) + ": a name in it is longer than " + std::to_string(NAME_MAX) +
                   " bytes";
        start = end + 1;
    }
    if (path.size() >= PATH_MAX || TemporaryFileTemplate(path).size() >= PATH_MAX)
        return "cannot use " + QuotedName(shown) + ": the path is too long";
    return {};
}

bool IsDirectory(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

} // namespace

bool FollowLinks(const std::string& path, std::string& followed, int& error)
{
    followed = path;
    for (int links = 0; links <= MaxLinks; ++links) {
        struct stat status {};
        if (::lstat(followed.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return true;
        char target[PATH_MAX];
        const ssize_t length = ::readlink(followed.c_str(), target, sizeof target);
        if (length < 0 || static_cast<std::size_t>(length) >= sizeof target) {
            error = length < 0 ? errno : ENAMETOOLONG;
            return false;
        }
        const std::string_view link(target, static_cast<std::size_t>(length));
        followed = !link.empty() && link.front() == '/' ? std::string(link) : JoinPath(ParentOf(followed), link);
    }
    error = ELOOP;
    return false;
}

std::string DirectoryTargetProblem(const std::string& directory)
{
    if (std::string problem = NameLengthProblem(directory, directory); !problem.empty())
        return problem;
    // The nearest path, from the directory up, that is there: the directory
    // itself, or the one in which the missing ones will be made.
    std::string existing = directory;
    struct stat status {};
    while (::lstat(existing.c_str(), &status) != 0) {
        const std::string parent = ParentOf(existing);
        if (parent == existing)
            break;
        existing = parent;
    }
    const bool exists = existing == directory;
    if (S_ISLNK(status.st_mode) && !IsDirectory(existing)) {
        struct stat pointed {};
        if (::stat(existing.c_str(), &pointed) != 0)
            return exists ? QuotedName(directory) + " is a symbolic link to a missing directory"
                          : "cannot create directory " + QuotedName(directory) + ": " + QuotedName(existing) +
                                " is a symbolic link to a missing directory";
    }
    if (!IsDirectory(existing))
        return exists ? QuotedName(directory) + " is not a directory"
                      : "cannot create directory " + QuotedName(directory) + ": " + QuotedName(existing) +
                            " is not a directory";
    // The system itself answers, so that the answer holds for the user
    // running the program, root and read-only file systems included.
    if (::access(existing.c_str(), W_OK | X_OK) != 0)
        return exists ? "cannot write to directory " + QuotedName(directory) + ": " + SystemError(errno)
                      : "cannot create directory " + QuotedName(directory) + ": " + SystemError(errno);
    return {};
}

std::string FileTargetProblem(const std::string& fileName)
{
    if (std::string problem = NameLengthProblem(fileName, fileName); !problem.empty())
        return problem;
    std::string target;
    int error = 0;
    if (!FollowLinks(fileName, target, error))
        return "cannot write " + QuotedName(fileName) + ": " + SystemError(error);
    if (target != fileName) {
        if (std::string problem = NameLengthProblem(target, fileName); !problem.empty())
            return problem;
        if (!IsDirectory(ParentOf(target)))
            return QuotedName(fileName) + " is a symbolic link into a missing directory";
    }
    struct stat status {};
    if (::stat(target.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            return QuotedName(fileName) + " is a directory";
        if (::access(target.c_str(), W_OK) != 0)
            return "cannot replace " + QuotedName(fileName) + ": " + SystemError(errno);
    }
    return DirectoryTargetProblem(ParentOf(target));
}

} // namespace envelope
