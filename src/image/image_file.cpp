#include "image/image_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace vardane {
namespace {

// An open descriptor, closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    [[nodiscard]] int get() const { return fd_; }
    [[nodiscard]] bool valid() const { return fd_ >= 0; }

private:
    int fd_;
};

IoError openError(int error)
{
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return IoError::missing;
        case EISDIR:  // a directory refuses to open for writing
            return IoError::notRegularFile;
        default:
            return IoError::cannotOpen;
    }
}

// Opens an existing regular file. O_NONBLOCK keeps a FIFO or device swapped in
// under the path from blocking the open; it changes nothing for regular files.
Expected<std::pair<std::int64_t, int>, IoError> openRegular(const std::filesystem::path& path, int mode)
{
    const int fd = ::open(path.c_str(), mode | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return Unexpected{openError(errno)};
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return Unexpected{IoError::notRegularFile};
    }
    return std::pair<std::int64_t, int>{static_cast<std::int64_t>(info.st_size), fd};
}

bool rangeInside(std::int64_t offset, std::size_t length, std::int64_t size)
{
    return offset >= 0 && offset <= size && static_cast<std::uint64_t>(size - offset) >= length;
}

// pread until `length` bytes or the end of the file; a signal may cut a read short.
Expected<std::size_t, IoError> readAt(int fd, std::int64_t offset, std::uint8_t* into, std::size_t length)
{
    std::size_t done = 0;
    while (done < length) {
        const ssize_t got =
            ::pread(fd, into + done, length - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return Unexpected{IoError::readFailed};
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
    if (!rangeInside(expected.offset, expected.bytes.size(), size)) {
        return false;
    }
    std::vector<std::uint8_t> current(expected.bytes.size());
    const auto got = readAt(fd, expected.offset, current.data(), current.size());
    return got && *got == current.size() && current == expected.bytes;
}

}  // namespace

Expected<std::int64_t, IoError> ImageFile::size(const std::filesystem::path& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return Unexpected{openError(errno)};
    }
    return static_cast<std::int64_t>(info.st_size);
}

Expected<std::size_t, IoError> ImageFile::readInto(const std::filesystem::path& path, std::int64_t offset,
                                                   std::span<std::uint8_t> into)
{
    if (offset < 0) {
        return Unexpected{IoError::outOfRange};
    }
    auto opened = openRegular(path, O_RDONLY);
    if (!opened) {
        return Unexpected{opened.error()};
    }
    const Descriptor fd(opened->second);
    return readAt(fd.get(), offset, into.data(), into.size());
}

Expected<std::vector<std::uint8_t>, IoError> ImageFile::read(const std::filesystem::path& path,
                                                             std::int64_t offset, std::size_t length)
{
    std::vector<std::uint8_t> bytes(length);
    const auto got = readInto(path, offset, bytes);
    if (!got) {
        return Unexpected{got.error()};
    }
    if (*got != length) {
        return Unexpected{IoError::outOfRange};
    }
    return bytes;
}

Expected<void, IoError> ImageFile::write(const std::filesystem::path& path, std::int64_t offset,
                                         std::span<const std::uint8_t> bytes,
                                         const std::optional<Expectation>& expected)
{
    auto opened = openRegular(path, O_RDWR);
    if (!opened) {
        return Unexpected{opened.error()};
    }
    const Descriptor fd(opened->second);
    const std::int64_t size = opened->first;
    if (!rangeInside(offset, bytes.size(), size)) {
        return Unexpected{IoError::outOfRange};
    }
    if (expected && !holds(fd.get(), *expected, size)) {
        return Unexpected{IoError::contentChanged};
    }
    // Kept so that a write the system cuts short can be undone.
    std::vector<std::uint8_t> before(bytes.size());
    const auto got = readAt(fd.get(), offset, before.data(), before.size());
    if (!got || *got != before.size()) {
        return Unexpected{IoError::readFailed};
    }
    const ssize_t written = writeAt(fd.get(), offset, bytes);
    if (written != static_cast<ssize_t>(bytes.size())) {
        const auto cut = static_cast<std::size_t>(std::max<ssize_t>(written, 0));
        return Unexpected{putBack(fd.get(), offset, std::span(before).first(cut)) ? IoError::writeFailed
                                                                                  : IoError::damaged};
    }
    if (::fdatasync(fd.get()) != 0) {
        // The bytes may never reach the disk; "nothing was written" stays true
        // only once the old ones are back there for certain.
        const bool restored = putBack(fd.get(), offset, before) && ::fdatasync(fd.get()) == 0;
        return Unexpected{restored ? IoError::flushFailed : IoError::damaged};
    }
    return {};
}

}  // namespace vardane
