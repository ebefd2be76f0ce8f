#include "output/temporary_names.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include <limits>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "output/path_names.h"

namespace envelope {

namespace {

constexpr std::string_view Marker = ".envelope-tmp-";
constexpr std::string_view RandomPart = "XXXXXX";
// Long enough to tell the target, short enough for the whole name to stay
// within a name component's 255 bytes.
constexpr std::size_t TargetNameKept = 200;

std::string Suffix()
{
    return std::string(Marker) + std::to_string(::getpid()) + '-' + std::string(RandomPart);
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A character that mkstemp and mkdtemp put in place of an X.
bool IsRandomCharacter(char c)
{
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The process id in a temporary's name, or 0 when the name is not exactly
// one of ours: a leading dot, the marker, a process id without leading zero
// that a process can have, a dash and six random characters at the end.
long OwnerOf(std::string_view name)
{
    if (name.size() < 2 || name.front() != '.')
        return 0;
    const std::size_t marker = name.rfind(Marker);
    if (marker == std::string_view::npos)
        return 0;
    const std::string_view rest = name.substr(marker + Marker.size());
    const std::size_t dash = rest.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash > 10 || rest.front() == '0' ||
        rest.size() - dash - 1 != RandomPart.size())
        return 0;
    for (const char c : rest.substr(dash + 1))
        if (!IsRandomCharacter(c))
            return 0;
    long long pid = 0;
    for (const char c : rest.substr(0, dash)) {
        if (!IsDigit(c))
            return 0;
        pid = pid * 10 + (c - '0');
    }
    return pid <= std::numeric_limits<pid_t>::max() ? static_cast<long>(pid) : 0;
}

bool StillRunning(long pid)
{
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

} // namespace

std::string TemporaryFileTemplate(std::string_view target)
{
    const std::string name = LastComponentOf(target);
    return JoinPath(ParentOf(target), "." + name.substr(0, TargetNameKept) + Suffix());
}

std::string ScratchDirectoryTemplate(std::string_view directory)
{
    return JoinPath(directory, Suffix());
}

void RemoveStaleTemporaries(const std::string& directory)
{
    DIR* listing = ::opendir(directory.c_str());
    if (listing == nullptr)
        return;
    while (const dirent* entry = ::readdir(listing)) {
        const long owner = OwnerOf(entry->d_name);
        if (owner <= 0 || owner == ::getpid() || StillRunning(owner))
            continue;
        // Only what a run of this user makes: a file, or a directory, which
        // goes only when empty. A symbolic link is never one of ours.
        const std::string path = JoinPath(directory, entry->d_name);
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || status.st_uid != ::geteuid())
            continue;
        if (S_ISREG(status.st_mode))
            ::unlink(path.c_str());
        else if (S_ISDIR(status.st_mode))
            ::rmdir(path.c_str());
    }
    ::closedir(listing);
}

} // namespace envelope
