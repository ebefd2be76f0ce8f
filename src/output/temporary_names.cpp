#include "output/temporary_names.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include <dirent.h>
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

// The process id in a temporary's name, or 0 when the name is not one of ours.
long OwnerOf(std::string_view name)
{
    if (name.size() < 2 || name.front() != '.' || name.size() < RandomPart.size() + 1)
        return 0;
    const std::size_t marker = name.rfind(Marker);
    if (marker == std::string_view::npos)
        return 0;
    std::string_view rest = name.substr(marker + Marker.size());
    const std::size_t dash = rest.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash > 10 || rest.size() - dash - 1 != RandomPart.size())
        return 0;
    long pid = 0;
    for (const char c : rest.substr(0, dash)) {
        if (c < '0' || c > '9')
            return 0;
        pid = pid * 10 + (c - '0');
    }
    return pid;
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
        const std::string path = JoinPath(directory, entry->d_name);
        if (::unlink(path.c_str()) != 0)
            ::rmdir(path.c_str());
    }
    ::closedir(listing);
}

} // namespace envelope
