#include "cli/streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>

namespace vardane::cli {

// A standard descriptor that the caller left closed would be the number the
// next open takes: an image file opened on it would receive the output or
// give the list. /dev/null opened the wrong way round takes its place, so
// that reading the list from a closed input, or writing to a closed output,
// fails and is refused. These stay open for the life of the process, as the
// standard descriptors do.
bool prepareStandardStreams()
{
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF &&
            ::open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY) != fd) {
            return false;
        }
    }
    return true;
}

}  // namespace vardane::cli
