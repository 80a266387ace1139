#include "image/image_file.h"

#include "system/system.h"

#include <algorithm>

namespace vardane {
namespace {

using system::Failure;

// How long a reader or a writer waits for another program's lock: far longer
// than any write of this tool holds one, short enough for a user to wait.
constexpr std::chrono::milliseconds kLockPatience{2000};

// A file that is not there or not a file is unreachable; one that is there
// but will not open for writing is read-only, or kept by another program.
Refusal openRefusal(Failure failure, system::Access access)
{
    switch (failure) {
        case Failure::absent:
        case Failure::notRegular:
            return Refusal::unreachable;
        case Failure::locked:
            return Refusal::locked;
        default:
            return access == system::Access::read ? Refusal::unreachable : Refusal::notWritable;
    }
}

Refusal writeRefusal(Failure failure)
{
    switch (failure) {
        case Failure::locked:
            return Refusal::locked;
        case Failure::noSpace:
            return Refusal::noSpace;
        default:
            return Refusal::notWritable;
    }
}

struct Opened {
    std::unique_ptr<system::File> file;
    std::int64_t size;
};

// Opens the file and locks it for the whole of the call: shared for reading,
// so that no read sees half of a write, exclusive for writing, so that two
// writers take turns. A file system without locks is used unlocked.
Outcome<Opened> openLocked(const std::filesystem::path& path, system::Access access)
{
    auto file = system::openFile(path, access);
    if (!file) {
        return refused(openRefusal(file.error(), access));
    }
    const auto kind = access == system::Access::read ? system::LockKind::shared : system::LockKind::exclusive;
    const auto locked = (*file)->lock(kind, kLockPatience);
    if (!locked && locked.error() != Failure::noLocks) {
        return refused(openRefusal(locked.error(), access));
    }
    const auto size = (*file)->size();
    if (!size) {
        return refused(Refusal::unreachable);
    }
    return Opened{std::move(*file), *size};
}

bool rangeInside(std::int64_t offset, std::size_t length, std::int64_t size)
{
    return offset >= 0 && offset <= size && static_cast<std::uint64_t>(size - offset) >= length;
}

// Until `into` is full or the file ends: a signal or the system may cut a
// read short.
Outcome<std::size_t> readAt(system::File& file, std::int64_t offset, std::span<std::uint8_t> into)
{
    std::size_t done = 0;
    while (done < into.size()) {
        const auto got = file.readAt(offset + static_cast<std::int64_t>(done), into.subspan(done));
        if (!got && got.error() == Failure::interrupted) {
            continue;
        }
        if (!got) {
            return refused(Refusal::unreachable);
        }
        if (*got == 0) {
            break;
        }
        done += *got;
    }
    return done;
}

system::Result<std::size_t> writeAt(system::File& file, std::int64_t offset,
                                    std::span<const std::uint8_t> bytes)
{
    auto written = file.writeAt(offset, bytes);
    while (!written && written.error() == Failure::interrupted) {
        written = file.writeAt(offset, bytes);
    }
    return written;
}

// Restores the bytes a failed write may have changed; false when even that fails.
bool putBack(system::File& file, std::int64_t offset, std::span<const std::uint8_t> before)
{
    return before.empty() || writeAt(file, offset, before) == before.size();
}

bool holds(system::File& file, const Expectation& expected, std::int64_t size)
{
    if ((expected.fileSize && *expected.fileSize != size) ||
        !rangeInside(expected.offset, expected.bytes.size(), size)) {
        return false;
    }
    std::vector<std::uint8_t> current(expected.bytes.size());
    const auto got = readAt(file, expected.offset, current);
    return got && *got == current.size() && current == expected.bytes;
}

}  // namespace

Outcome<std::int64_t> ImageFile::size(const std::filesystem::path& path)
{
    return system::sizeOf(path).map_error(
        [](Failure failure) { return openRefusal(failure, system::Access::read); });
}

Outcome<std::vector<std::uint8_t>> ImageFile::readStart(const std::filesystem::path& path, std::size_t limit)
{
    const auto opened = openLocked(path, system::Access::read);
    if (!opened) {
        return refused(opened.error());
    }
    std::vector<std::uint8_t> bytes(std::min(limit, static_cast<std::size_t>(opened->size)));
    const auto got = readAt(*opened->file, 0, bytes);
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
    const auto opened = openLocked(path, system::Access::read);
    if (!opened) {
        return refused(opened.error());
    }
    std::vector<std::uint8_t> bytes(length);
    const auto got = readAt(*opened->file, offset, bytes);
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
    const auto opened = openLocked(path, system::Access::readWrite);
    if (!opened) {
        return refused(opened.error());
    }
    system::File& file = *opened->file;
    if (!rangeInside(offset, bytes.size(), opened->size)) {
        return refused(Refusal::tooShort);
    }
    if (expected && !holds(file, *expected, opened->size)) {
        return refused(Refusal::changed);
    }
    // Kept so that a write the system cuts short can be undone.
    std::vector<std::uint8_t> before(bytes.size());
    const auto got = readAt(file, offset, before);
    if (!got || *got != before.size()) {
        return refused(Refusal::unreachable);
    }
    const auto written = writeAt(file, offset, bytes);
    if (written != bytes.size()) {
        const std::size_t cut = written.value_or(0);
        const Refusal why = written ? Refusal::notWritable : writeRefusal(written.error());
        return refused(putBack(file, offset, std::span(before).first(cut)) ? why : Refusal::damaged);
    }
    if (const auto flushed = file.flush(); !flushed) {
        // The bytes may never reach the disk; "nothing was written" stays true
        // only once the old ones are back there for certain.
        const bool restored = putBack(file, offset, before) && file.flush();
        return refused(restored ? writeRefusal(flushed.error()) : Refusal::damaged);
    }
    return {};
}

}  // namespace vardane
