#include "output/path_names.h"

namespace envelope {

namespace {

std::string_view WithoutTrailingSlashes(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    return path;
}

} // namespace

std::string ParentOf(std::string_view path)
{
    path = WithoutTrailingSlashes(path);
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return ".";
    if (slash == 0)
        return "/";
    return std::string(WithoutTrailingSlashes(path.substr(0, slash)));
}

std::string LastComponentOf(std::string_view path)
{
    path = WithoutTrailingSlashes(path);
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos || path == "/" ? path : path.substr(slash + 1));
}

std::string JoinPath(std::string_view directory, std::string_view name)
{
    std::string path(directory);
    if (!path.empty() && path.back() != '/')
        path += '/';
    path += name;
    return path;
}

} // namespace envelope
