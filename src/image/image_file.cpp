#include "image/image_file.h"

#include "image/descriptor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace vardane {
namespace {

// A file that cannot be found or read is unreachable; one that is there but
// will not open for writing is read-only or locked.
Refusal openRefusal(int error, int mode)
{
    switch (error) {
        case ENOENT:
        case ENOTDIR:
        case EISDIR:
        case ELOOP:
        case ENAMETOOLONG:
            return Refusal::unreachable;
        default:
            return mode == O_RDONLY ? Refusal::unreachable : Refusal::notWritable;
    }
}

struct Opened {
    int fd;
    std::int64_t size;
};

// Opens an existing regular file. O_NONBLOCK keeps a FIFO or device swapped in
// under the path from blocking the open; it changes nothing for regular files.
Outcome<Opened> openRegular(const std::filesystem::path& path, int mode)
{
    const int fd = ::open(path.c_str(), mode | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return refused(openRefusal(errno, mode));
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return refused(Refusal::unreachable);
    }
    return Opened{fd, static_cast<std::int64_t>(info.st_size)};
}

bool rangeInside(std::int64_t offset, std::size_t length, std::int64_t size)
{
    return offset >= 0 && offset <= size && static_cast<std::uint64_t>(size - offset) >= length;
}

// pread until `length` bytes or the end of the file; a signal may cut a read short.
Outcome<std::size_t> readAt(int fd, std::int64_t offset, std::uint8_t* into, std::size_t length)
{
    std::size_t done = 0;
    while (done < length) {
        const ssize_t got =
            ::pread(fd, into + done, length - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return refused(Refusal::unreachable);
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

ssize_t writeAt(int fd, std::int64_t offset, std::span<const std::uint8_t> bytes)
{
    ssize_t written = -1;
    do {
        written = ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
    } while (written < 0 && errno == EINTR);
    return written;
}

// Restores the bytes a failed write may have changed; false when even that fails.
bool putBack(int fd, std::int64_t offset, std::span<const std::uint8_t> before)
{
    return before.empty() || writeAt(fd, offset, before) == static_cast<ssize_t>(before.size());
}

bool holds(int fd, const Expectation& expected, std::int64_t size)
{
    if ((expected.fileSize && *expected.fileSize != size) ||
        !rangeInside(expected.offset, expected.bytes.size(), size)) {
        return false;
    }
    std::vector<std::uint8_t> current(expected.bytes.size());
    const auto got = readAt(fd, expected.offset, current.data(), current.size());
    return got && *got == current.size() && current == expected.bytes;
}

}  // namespace

Outcome<std::int64_t> ImageFile::size(const std::filesystem::path& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return refused(openRefusal(errno, O_RDONLY));
    }
    return static_cast<std::int64_t>(info.st_size);
}

Outcome<std::vector<std::uint8_t>> ImageFile::readStart(const std::filesystem::path& path, std::size_t limit)
{
    const auto opened = openRegular(path, O_RDONLY);
    if (!opened) {
        return refused(opened.error());
    }
    const Descriptor fd(opened->fd);
    std::vector<std::uint8_t> bytes(std::min(limit, static_cast<std::size_t>(opened->size)));
    const auto got = readAt(fd.get(), 0, bytes.data(), bytes.size());
    if (!got) {
        return refused(got.error());
    }
    bytes.resize(*got);
    return bytes;
}

Outcome<std::vector<std::uint8_t>> ImageFile::read(const std::filesystem::path& path, std::int64_t offset,
                                                   std::size_t length)
{
    if (offset < 0) {
        return refused(Refusal::tooShort);
    }
    const auto opened = openRegular(path, O_RDONLY);
    if (!opened) {
        return refused(opened.error());
    }
    const Descriptor fd(opened->fd);
    std::vector<std::uint8_t> bytes(length);
    const auto got = readAt(fd.get(), offset, bytes.data(), bytes.size());
    if (!got) {
        return refused(got.error());
    }
    if (*got != length) {
        return refused(Refusal::tooShort);
    }
    return bytes;
}

Outcome<void> ImageFile::write(const std::filesystem::path& path, std::int64_t offset,
                               std::span<const std::uint8_t> bytes,
                               const std::optional<Expectation>& expected)
{
    const auto opened = openRegular(path, O_RDWR);
    if (!opened) {
        return refused(opened.error());
    }
    const Descriptor fd(opened->fd);
    if (!rangeInside(offset, bytes.size(), opened->size)) {
        return refused(Refusal::tooShort);
    }
    if (expected && !holds(fd.get(), *expected, opened->size)) {
        return refused(Refusal::changed);
    }
    // Kept so that a write the system cuts short can be undone.
    std::vector<std::uint8_t> before(bytes.size());
    const auto got = readAt(fd.get(), offset, before.data(), before.size());
    if (!got || *got != before.size()) {
        return refused(Refusal::unreachable);
    }
    const ssize_t written = writeAt(fd.get(), offset, bytes);
    if (written != static_cast<ssize_t>(bytes.size())) {
        const auto cut = static_cast<std::size_t>(std::max<ssize_t>(written, 0));
        return refused(putBack(fd.get(), offset, std::span(before).first(cut)) ? Refusal::notWritable
                                                                               : Refusal::damaged);
    }
    if (::fdatasync(fd.get()) != 0) {
        // The bytes may never reach the disk; "nothing was written" stays true
        // only once the old ones are back there for certain.
        const bool restored = putBack(fd.get(), offset, before) && ::fdatasync(fd.get()) == 0;
        return refused(restored ? Refusal::notWritable : Refusal::damaged);
    }
    return {};
}

}  // namespace vardane
