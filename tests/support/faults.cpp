#include "faults.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

vardane::test::PlantedFaults vardane::test::faults;

namespace {

using vardane::test::faults;

// Whether a planned fault of this kind is due now, counting it off.
bool due(int& planned)
{
    return planned > 0 && planned-- > 0;
}

}  // namespace

extern "C" ssize_t pread(int fd, void* buffer, size_t length, off_t offset)
{
    if (due(faults.interruptedReads)) {
        errno = EINTR;
        return -1;
    }
    const auto got = ::syscall(SYS_pread64, fd, buffer, due(faults.shortReads) ? 1 : length, offset);
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
    due(faults.writesBeforeFailure);
    return ::syscall(SYS_pwrite64, fd, buffer, due(faults.shortWrites) ? 1 : length, offset);
}

extern "C" int fdatasync(int fd)
{
    if (due(faults.failedFlushes)) {
        errno = EIO;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_fdatasync, fd));
}
