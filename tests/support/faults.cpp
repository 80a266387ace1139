#include "faults.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace vardane::test {

PlantedFaults faults;

namespace {

// Whether a planned fault of this kind is due now, counting it off.
bool due(int& planned)
{
    return planned > 0 && planned-- > 0;
}

}  // namespace
}  // namespace vardane::test

using vardane::test::faults;

extern "C" ssize_t pread(int fd, void* buffer, size_t length, off_t offset)
{
    if (vardane::test::due(faults.interruptedReads)) {
        errno = EINTR;
        return -1;
    }
    const auto got =
        ::syscall(SYS_pread64, fd, buffer, vardane::test::due(faults.shortReads) ? 1 : length, offset);
    if (faults.afterNextRead) {
        std::exchange(faults.afterNextRead, nullptr)();
    }
    return got;
}

extern "C" ssize_t pwrite(int fd, const void* buffer, size_t length, off_t offset)
{
    if (faults.writesBeforeFailure == 0) {
        errno = EIO;
        return -1;
    }
    vardane::test::due(faults.writesBeforeFailure);
    return ::syscall(SYS_pwrite64, fd, buffer, vardane::test::due(faults.shortWrites) ? 1 : length, offset);
}

extern "C" int fdatasync(int fd)
{
    if (vardane::test::due(faults.failedFlushes)) {
        errno = EIO;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_fdatasync, fd));
}
