#include "system/descriptor_posix.h"
#include "system/system.h"

#include <fcntl.h>
#include <langinfo.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <thread>

namespace vardane::system {
namespace {

tl::unexpected<Failure> failed(int error)
{
    switch (error) {
        case EINTR:
            return tl::unexpected(Failure::interrupted);
        case ENOENT:
        case ENOTDIR:
        case ELOOP:
        case ENAMETOOLONG:
            return tl::unexpected(Failure::absent);
        case EISDIR:
            return tl::unexpected(Failure::notRegular);
        case EACCES:
        case EPERM:
        case EROFS:
        case ETXTBSY:
            return tl::unexpected(Failure::denied);
        case ENOSPC:
        case EDQUOT:
            return tl::unexpected(Failure::noSpace);
        default:
            return tl::unexpected(Failure::other);
    }
}

// Who holds the lock that keeps `wanted` waiting: a shared lock is a
// reader's, an exclusive one a writer's. None when it has gone since.
std::optional<Failure> lockHolder(int fd, const struct flock& wanted)
{
    struct flock holder = wanted;
    if (::fcntl(fd, F_OFD_GETLK, &holder) != 0) {
        return Failure::locked;
    }
    if (holder.l_type == F_UNLCK) {
        return std::nullopt;
    }
    return holder.l_type == F_RDLCK ? Failure::readLocked : Failure::locked;
}

// Open file description locks: they belong to this descriptor alone, so two
// descriptors of one process exclude each other as two programs do, and
// closing another descriptor of the file never drops them. They also conflict
// with the classic fcntl locks of other programs.
Result<> lockRegion(int fd, LockKind kind, std::chrono::milliseconds patience)
{
    constexpr std::chrono::milliseconds kRetry{20};
    struct flock region {};
    region.l_type = kind == LockKind::shared ? F_RDLCK : F_WRLCK;
    region.l_whence = SEEK_SET;
    const auto deadline = std::chrono::steady_clock::now() + patience;
    bool askedAgain = false;
    while (::fcntl(fd, F_OFD_SETLK, &region) != 0) {
        switch (errno) {
            case EINTR:
                continue;
            case EAGAIN:
            case EACCES:
                if (std::chrono::steady_clock::now() >= deadline) {
                    // A lock released between the refusal and the question
                    // is asked for once more.
                    const auto holder = lockHolder(fd, region);
                    if (!holder && !askedAgain) {
                        askedAgain = true;
                        continue;
                    }
                    return tl::unexpected(holder.value_or(Failure::locked));
                }
                std::this_thread::sleep_for(kRetry);
                continue;
            case ENOLCK:
            case EINVAL:
            case EOPNOTSUPP:
                return tl::unexpected(Failure::noLocks);
            default:
                return failed(errno);
        }
    }
    return {};
}

class PosixFile final : public File {
public:
    explicit PosixFile(int fd) : fd_(fd) {}

    [[nodiscard]] Result<std::int64_t> size() const override
    {
        struct stat info {};
        if (::fstat(fd_.get(), &info) != 0) {
            return failed(errno);
        }
        return static_cast<std::int64_t>(info.st_size);
    }

    [[nodiscard]] Result<FileIdentity> identity() const override
    {
        struct stat info {};
        if (::fstat(fd_.get(), &info) != 0) {
            return failed(errno);
        }
        return FileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    }

    [[nodiscard]] Result<std::size_t> readAt(std::int64_t offset, std::span<std::uint8_t> into) override
    {
        const ssize_t got = ::pread(fd_.get(), into.data(), into.size(), static_cast<off_t>(offset));
        if (got < 0) {
            return failed(errno);
        }
        return static_cast<std::size_t>(got);
    }

    [[nodiscard]] Result<std::size_t> writeAt(std::int64_t offset,
                                              std::span<const std::uint8_t> bytes) override
    {
        const ssize_t written = ::pwrite(fd_.get(), bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (written < 0) {
            return failed(errno);
        }
        return static_cast<std::size_t>(written);
    }

    // fdatasync: the bytes and the size, without waiting for the file's times.
    [[nodiscard]] Result<> flush() override
    {
        if (::fdatasync(fd_.get()) != 0) {
            return failed(errno);
        }
        return {};
    }

    [[nodiscard]] Result<> lock(LockKind kind, std::chrono::milliseconds patience) override
    {
        return lockRegion(fd_.get(), kind, patience);
    }

private:
    Descriptor fd_;
};

}  // namespace

// O_NONBLOCK keeps a FIFO or a device swapped in under the path from
// blocking the open; it changes nothing for a regular file.
Result<std::unique_ptr<File>> openNativeFile(const std::filesystem::path& path, Access access)
{
    const int mode = access == Access::read ? O_RDONLY : O_RDWR;
    const int fd = ::open(path.c_str(), mode | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return failed(errno);
    }
    auto file = std::make_unique<PosixFile>(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return tl::unexpected(Failure::notRegular);
    }
    return file;
}

Result<std::int64_t> sizeOf(const std::filesystem::path& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return failed(errno);
    }
    return static_cast<std::int64_t>(info.st_size);
}

std::optional<std::filesystem::path> pathNamed(std::string_view name)
{
    // The system would read a name up to its first NUL: another file's.
    if (name.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    return std::filesystem::path(name);
}

std::string nameOf(const std::filesystem::path& path)
{
    return path.native();
}

bool backslashSeparates()
{
    return false;
}

bool carriageReturnEndsLines()
{
    return false;
}

// The C library's decimal point of the numeric locale that the environment
// names, read from a locale made apart and freed again:
// setting the process's own would change how the C library reads numbers
// everywhere. A locale that the system does not have gives a point.
std::string userDecimalSeparator()
{
    const std::string name(numericLocaleName());
    std::string separator = ".";
    if (name.empty()) {
        return separator;
    }
    const locale_t numeric = ::newlocale(LC_NUMERIC_MASK, name.c_str(), static_cast<locale_t>(nullptr));
    if (numeric != static_cast<locale_t>(nullptr)) {
        const char* point = ::nl_langinfo_l(RADIXCHAR, numeric);
        if (point != nullptr && *point != '\0') {
            separator = point;
        }
        ::freelocale(numeric);
    }
    return separator;
}

}  // namespace vardane::system
