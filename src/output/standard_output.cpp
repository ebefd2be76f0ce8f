#include "output/standard_output.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace envelope {

namespace {

bool outputWasClosed = false;

} // namespace

void KeepStandardDescriptorsTaken()
{
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        if (::fcntl(descriptor, F_GETFD) != -1 || errno != EBADF)
            continue;
        if (descriptor == STDOUT_FILENO)
            outputWasClosed = true;
        // The lowest free descriptor is this one.
        ::open("/dev/null", descriptor == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    }
}

bool StandardOutputWasClosed()
{
    return outputWasClosed;
}

int WriteStandardOutput(std::string_view text)
{
    if (outputWasClosed)
        return EBADF;
    while (!text.empty()) {
        const ssize_t written = ::write(STDOUT_FILENO, text.data(), text.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

std::string StandardOutputProblem(int error)
{
    return std::string("cannot write to standard output: ") + std::strerror(error);
}

} // namespace envelope
