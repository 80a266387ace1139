#include "image/image_file.h"

#include <algorithm>

namespace vardane {
namespace {

using system::Access;
using system::Failure;

// How long a reader or a writer waits for another program's lock: far longer
// than any write of this tool holds one, short enough for a user to wait.
constexpr std::chrono::milliseconds kLockPatience{2000};

// Why the system would not let a file be opened, locked or read. A file that
// will not open for writing is read-only, whatever the system calls it.
Refusal refusalOf(Failure failure, Access access)
{
    switch (failure) {
        case Failure::absent:
            return Refusal::absent;
        case Failure::notRegular:
            return Refusal::notRegular;
        case Failure::locked:
            return Refusal::locked;
        case Failure::readLocked:
            return Refusal::lockedByReader;
        case Failure::denied:
            return access == Access::read ? Refusal::denied : Refusal::notWritable;
        case Failure::noSpace:
            return access == Access::read ? Refusal::readError : Refusal::noSpace;
        case Failure::interrupted:
        case Failure::noLocks:
        case Failure::other:
            break;
    }
    return access == Access::read ? Refusal::readError : Refusal::notWritable;
}

struct Opened {
    std::unique_ptr<system::File> file;
    std::int64_t size;
    system::FileIdentity identity;
};

// Opens the file and locks it for the whole of the call: shared for reading,
// so that no read sees half of a write, exclusive for writing, so that two
// writers take turns. A file system without locks is used unlocked. Under the
// lock, before anything else, the file must be the one asked for.
Outcome<Opened> openLocked(const FileRef& ref, Access access)
{
    auto file = system::openFile(ref.path, access);
    if (!file) {
        return refused(refusalOf(file.error(), access));
    }
    const auto kind = access == Access::read ? system::LockKind::shared : system::LockKind::exclusive;
    const auto locked = (*file)->lock(kind, kLockPatience);
    if (!locked && locked.error() != Failure::noLocks) {
        return refused(refusalOf(locked.error(), access));
    }
    const auto identity = (*file)->identity();
    const auto size = (*file)->size();
    if (!identity || !size) {
        return refused(refusalOf(identity ? size.error() : identity.error(), access));
    }
    if (ref.identity && *ref.identity != *identity) {
        return refused(Refusal::replaced);
    }
    return Opened{std::move(*file), *size, *identity};
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
            return refused(refusalOf(got.error(), Access::read));
        }
        if (*got == 0) {
            break;
        }
        done += *got;
    }
    return done;
}

// What a run of writes did: how many bytes went down before one failed, and
// why it failed.
struct Written {
    std::size_t done = 0;
    std::optional<Failure> failure;
};

// Until every byte is written or a write fails: the system may write fewer
// bytes than given (a full disk among the reasons), and the next write then
// tells why it stopped. A write that makes no progress at all fails.
Written writeAt(system::File& file, std::int64_t offset, std::span<const std::uint8_t> bytes)
{
    Written written;
    while (written.done < bytes.size()) {
        const auto wrote =
            file.writeAt(offset + static_cast<std::int64_t>(written.done), bytes.subspan(written.done));
        if (!wrote && wrote.error() == Failure::interrupted) {
            continue;
        }
        if (!wrote || *wrote == 0) {
            written.failure = wrote ? Failure::other : wrote.error();
            break;
        }
        written.done += *wrote;
    }
    return written;
}

// Puts back the bytes a failed write may have changed, and makes sure they are
// on the disk; false when that fails too.
bool putBack(system::File& file, std::int64_t offset, std::span<const std::uint8_t> before)
{
    return before.empty() || (!writeAt(file, offset, before).failure && file.flush());
}

bool holds(system::File& file, const Expectation& expected, std::int64_t size)
{
    if (expected.fileSize && *expected.fileSize != size) {
        return false;
    }
    return std::all_of(expected.runs.begin(), expected.runs.end(), [&](const ExpectedBytes& run) {
        if (!rangeInside(run.offset, run.bytes.size(), size)) {
            return false;
        }
        std::vector<std::uint8_t> current(run.bytes.size());
        const auto got = readAt(file, run.offset, current);
        return got && *got == current.size() && current == run.bytes;
    });
}

Outcome<Contents> readLocked(const FileRef& ref, std::int64_t offset, std::size_t length)
{
    const auto opened = openLocked(ref, Access::read);
    if (!opened) {
        return refused(opened.error());
    }
    Contents contents{std::vector<std::uint8_t>(length), opened->identity};
    const auto got = readAt(*opened->file, offset, contents.bytes);
    if (!got) {
        return refused(got.error());
    }
    contents.bytes.resize(*got);
    return contents;
}

}  // namespace

Outcome<std::int64_t> ImageFile::size(const FileRef& file)
{
    if (!file.identity) {
        return system::sizeOf(file.path).map_error(
            [](Failure failure) { return refusalOf(failure, Access::read); });
    }
    return openLocked(file, Access::read).map([](const Opened& opened) { return opened.size; });
}

Outcome<Contents> ImageFile::readStart(const FileRef& file, std::size_t limit)
{
    return readLocked(file, 0, limit);
}

Outcome<Contents> ImageFile::read(const FileRef& file, std::int64_t offset, std::size_t length)
{
    if (offset < 0) {
        return refused(Refusal::tooShort);
    }
    auto contents = readLocked(file, offset, length);
    if (contents && contents->bytes.size() != length) {
        return refused(Refusal::tooShort);
    }
    return contents;
}

Outcome<void> ImageFile::write(const KnownFile& target, std::int64_t offset,
                               std::span<const std::uint8_t> bytes, const Expectation& expected)
{
    const auto opened = openLocked(target, Access::readWrite);
    if (!opened) {
        return refused(opened.error());
    }
    system::File& file = *opened->file;
    if (!rangeInside(offset, bytes.size(), opened->size)) {
        return refused(Refusal::tooShort);
    }
    if (!holds(file, expected, opened->size)) {
        return refused(Refusal::changed);
    }
    // Kept so that a write that fails part-way can be undone.
    std::vector<std::uint8_t> before(bytes.size());
    const auto got = readAt(file, offset, before);
    if (!got || *got != before.size()) {
        return refused(got ? Refusal::readError : got.error());
    }
    const Written written = writeAt(file, offset, bytes);
    if (written.failure) {
        const bool restored = putBack(file, offset, std::span(before).first(written.done));
        return refused(restored ? refusalOf(*written.failure, Access::readWrite) : Refusal::damaged);
    }
    if (const auto flushed = file.flush(); !flushed) {
        // The bytes may never reach the disk; "nothing was written" stays true
        // only once the old ones are back there for certain.
        return refused(putBack(file, offset, before) ? refusalOf(flushed.error(), Access::readWrite)
                                                     : Refusal::damaged);
    }
    return {};
}

}  // namespace vardane
