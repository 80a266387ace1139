// What the core asks of the operating system, and nothing more: an image file
// (opened, sized, read and written at an offset, flushed, locked, known by
// its identity), names and the user's decimal separator. Each system has one
// implementation, chosen by CMake (system_posix.cpp, system_windows.cpp), and
// nothing else in the core calls the system. The programs' own edges call it
// too, each in files of one system: vardane-cli's standard streams and
// arguments (cli/streams_*.cpp, cli/main_*.cpp, arguments_windows.h) and the
// window's entry (app/main_*.cpp).
#pragma once

#include <tl/expected.hpp>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vardane::system {

// Why the system refused, in the few kinds the core tells apart.
enum class Failure {
    interrupted,  // a signal cut the call short before it did anything: make it again
    absent,       // nothing by that name, or not a name the system can look up
    notRegular,   // a folder, a FIFO or a device: no image file
    denied,       // no right to open the file that way
    locked,       // another program holds an exclusive lock on it (it is writing), or shares it with no one
    readLocked,   // another program holds a shared lock on it: it is reading
    noSpace,      // the disk is full, or the user's quota is used up
    noLocks,      // the file system keeps no locks (NFS without its lock daemon)
    other,        // any other failure, an I/O error among them
};

template <typename T = void>
using Result = tl::expected<T, Failure>;

enum class Access { read, readWrite };
enum class LockKind { shared, exclusive };

// What tells one file from every other, whatever names lead to it: the
// device and inode on Linux, the volume serial number and file index on
// Windows. A name that now leads to another file gives another identity.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};
// An open image file, closed with the object; its locks go with it.
class File {
public:
    virtual ~File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    [[nodiscard]] virtual Result<std::int64_t> size() const = 0;
    [[nodiscard]] virtual Result<FileIdentity> identity() const = 0;
    // One read at offset, into as much of `into` as the system gives: fewer
    // bytes than asked for, and 0 at the end of the file.
    [[nodiscard]] virtual Result<std::size_t> readAt(std::int64_t offset, std::span<std::uint8_t> into) = 0;
    // One positioned write; the system may write fewer bytes than given.
    [[nodiscard]] virtual Result<std::size_t> writeAt(std::int64_t offset,
                                                      std::span<const std::uint8_t> bytes) = 0;
    // Until the bytes written are on the disk.
    [[nodiscard]] virtual Result<> flush() = 0;
    // A lock on the whole file, waited for at most `patience`: shared ones
    // exclude only an exclusive one. It holds until the file is closed. An
    // exclusive one refused says whether a reader or a writer holds the file.
    [[nodiscard]] virtual Result<> lock(LockKind kind, std::chrono::milliseconds patience) = 0;

protected:
    File() = default;
};

// Opens an existing regular file, never creating, truncating or extending
// it. Every file the core opens comes from here; the tests link their own
// version of this one function, which plants faults on the files it hands
// out.
[[nodiscard]] Result<std::unique_ptr<File>> openFile(const std::filesystem::path& path, Access access);

// The system's own file, which openFile hands out.
[[nodiscard]] Result<std::unique_ptr<File>> openNativeFile(const std::filesystem::path& path, Access access);

// The size of the file at path without opening it, so that a FIFO or a
// device never blocks the call.
[[nodiscard]] Result<std::int64_t> sizeOf(const std::filesystem::path& path);

// The path that a name given as text names: on Linux its bytes as they are,
// on Windows the UTF-16 of its WTF-8; none when the system could not take it
// as one name (it holds a NUL, or on Windows it is not WTF-8).
[[nodiscard]] std::optional<std::filesystem::path> pathNamed(std::string_view name);

// A path's name as text for printing: on Linux its bytes as they are, on
// Windows the WTF-8 of its UTF-16. Never throws, whatever the name.
[[nodiscard]] std::string nameOf(const std::filesystem::path& path);

// Whether a backslash in a name separates folders (on Windows) rather than
// being a character of the name.
[[nodiscard]] bool backslashSeparates();

// Whether a carriage return right before a newline ends a listed name with
// the newline (on Windows, where no name holds one) rather than being the
// name's last character.
[[nodiscard]] bool carriageReturnEndsLines();

// The decimal separator of the user's numbers, as the clock texts show it.
[[nodiscard]] std::string userDecimalSeparator();

// The locale that names the user's numbers on both systems: the first of
// LC_ALL, LC_NUMERIC and LANG that is set, or "" when none is.
[[nodiscard]] inline std::string_view numericLocaleName()
{
    for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        if (const char* name = std::getenv(variable); name != nullptr && *name != '\0') {
            return name;
        }
    }
    return {};
}

}  // namespace vardane::system
