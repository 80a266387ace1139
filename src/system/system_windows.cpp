#include "system/long_path_windows.h"
#include "system/system.h"
#include "text/encoding.h"

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <thread>

namespace vardane::system {
namespace {

// ERROR_DISK_QUOTA_EXCEEDED, which mingw-w64's headers lack.
constexpr DWORD kQuotaExceeded = 1295;

tl::unexpected<Failure> failed(DWORD error)
{
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_DIRECTORY:
            return tl::unexpected(Failure::absent);
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return tl::unexpected(Failure::denied);
        // A program that opened the file sharing it with no one, or that
        // holds a lock on it.
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return tl::unexpected(Failure::locked);
        case ERROR_HANDLE_DISK_FULL:
        case ERROR_DISK_FULL:
        case kQuotaExceeded:
            return tl::unexpected(Failure::noSpace);
        default:
            return tl::unexpected(Failure::other);
    }
}

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() { CloseHandle(handle_); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    [[nodiscard]] HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// Every reader and writer of Vardane locks this one byte, far past the end of
// any file, rather than the file's bytes. Windows locks are mandatory: on the
// bytes themselves, a lock would make the reads of every other program (a
// copy, a flasher, a virus scanner) fail while it is held, where a Linux lock
// holds off only the programs that ask for one. On a byte no file reaches,
// Vardane's programs exclude each other exactly as with a lock on the whole
// file, and nothing else notices, as on Linux.
constexpr std::uint64_t kLockedByte = std::uint64_t{1} << 62;

OVERLAPPED at(std::uint64_t offset)
{
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(offset);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return position;
}

// A read or write of more than a DWORD says is cut short, and made again.
DWORD mostOf(std::size_t size)
{
    return static_cast<DWORD>(std::min<std::size_t>(size, MAXDWORD));
}

class WindowsFile final : public File {
public:
    explicit WindowsFile(HANDLE handle) : handle_(handle) {}

    // Windows frees the locks of a closed handle when it gets round to it;
    // freed here, the byte is free for the next program at once.
    ~WindowsFile() override
    {
        if (locked_) {
            unlock();
        }
    }

    [[nodiscard]] Result<std::int64_t> size() const override
    {
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(handle_.get(), &size)) {
            return failed(GetLastError());
        }
        return static_cast<std::int64_t>(size.QuadPart);
    }

    [[nodiscard]] Result<FileIdentity> identity() const override
    {
        BY_HANDLE_FILE_INFORMATION information{};
        if (!GetFileInformationByHandle(handle_.get(), &information)) {
            return failed(GetLastError());
        }
        return FileIdentity{information.dwVolumeSerialNumber,
                            (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
    }

    [[nodiscard]] Result<std::size_t> readAt(std::int64_t offset, std::span<std::uint8_t> into) override
    {
        OVERLAPPED from = at(static_cast<std::uint64_t>(offset));
        DWORD got = 0;
        if (!ReadFile(handle_.get(), into.data(), mostOf(into.size()), &got, &from)) {
            // A positioned read past the end says so by an error, not by 0 bytes.
            const DWORD error = GetLastError();
            return error == ERROR_HANDLE_EOF ? Result<std::size_t>(0) : failed(error);
        }
        return got;
    }

    [[nodiscard]] Result<std::size_t> writeAt(std::int64_t offset,
                                              std::span<const std::uint8_t> bytes) override
    {
        OVERLAPPED from = at(static_cast<std::uint64_t>(offset));
        DWORD written = 0;
        if (!WriteFile(handle_.get(), bytes.data(), mostOf(bytes.size()), &written, &from)) {
            return failed(GetLastError());
        }
        return written;
    }

    [[nodiscard]] Result<> flush() override
    {
        if (!FlushFileBuffers(handle_.get())) {
            return failed(GetLastError());
        }
        return {};
    }

    [[nodiscard]] Result<> lock(LockKind kind, std::chrono::milliseconds patience) override
    {
        constexpr std::chrono::milliseconds kRetry{20};
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (true) {
            const DWORD error = tryLock(kind);
            if (error == ERROR_SUCCESS) {
                locked_ = true;
                return {};
            }
            if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION) {
                return tl::unexpected(Failure::noLocks);
            }
            if (error != ERROR_LOCK_VIOLATION) {
                return failed(error);
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                return tl::unexpected(kind == LockKind::exclusive && heldByReaders() ? Failure::readLocked
                                                                                     : Failure::locked);
            }
            std::this_thread::sleep_for(kRetry);
        }
    }

private:
    [[nodiscard]] DWORD tryLock(LockKind kind) const
    {
        const DWORD flags =
            LOCKFILE_FAIL_IMMEDIATELY | (kind == LockKind::exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
        OVERLAPPED byte = at(kLockedByte);
        return LockFileEx(handle_.get(), flags, 0, 1, 0, &byte) ? ERROR_SUCCESS : GetLastError();
    }

    void unlock() const
    {
        OVERLAPPED byte = at(kLockedByte);
        UnlockFileEx(handle_.get(), 0, 1, 0, &byte);
    }

    // Windows does not say who holds a lock: a shared one granted at once
    // (and given back) shows that only readers hold the byte.
    [[nodiscard]] bool heldByReaders() const
    {
        if (tryLock(LockKind::shared) != ERROR_SUCCESS) {
            return false;
        }
        unlock();
        return true;
    }

    Handle handle_;
    bool locked_ = false;
};

}  // namespace

std::wstring longPathForm(const std::filesystem::path& path)
{
    constexpr std::wstring_view kLong = L"\\\\?\\";
    constexpr std::wstring_view kDevice = L"\\\\.\\";
    constexpr std::wstring_view kShare = L"\\\\";
    if (path.native().starts_with(kLong)) {
        return path.native();
    }
    // Windows resolves the path as it would to open it; the buffer it asks for
    // holds the terminating NUL. A path it cannot resolve gets no buffer,
    // which the second call then fails on or finds too small.
    std::wstring full(GetFullPathNameW(path.c_str(), 0, nullptr, nullptr), L'\0');
    const DWORD length =
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size()) {
        return path.native();
    }
    full.resize(length);
    if (full.starts_with(kLong) || full.starts_with(kDevice)) {
        return full;
    }
    if (full.starts_with(kShare)) {
        return std::wstring(kLong) + L"UNC\\" + full.substr(kShare.size());
    }
    return std::wstring(kLong) + full;
}

// Shared for reading, writing and deleting, as a file opened on Linux is:
// the lock, not the opening, is what makes writers take turns, and a program
// that shares the file with no one is told as one that holds its lock.
Result<std::unique_ptr<File>> openNativeFile(const std::filesystem::path& path, Access access)
{
    const DWORD rights = access == Access::read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    const std::wstring name = longPathForm(path);
    const HANDLE handle =
        CreateFileW(name.c_str(), rights, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // A folder does not open as a file, and says so as a refusal of rights.
        const DWORD attributes = GetFileAttributesW(name.c_str());
        if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            return tl::unexpected(Failure::notRegular);
        }
        return failed(error);
    }
    auto file = std::make_unique<WindowsFile>(handle);
    // A device (NUL, CON, a serial port) or a pipe is no image file.
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        return tl::unexpected(Failure::notRegular);
    }
    return file;
}

Result<std::int64_t> sizeOf(const std::filesystem::path& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(longPathForm(path).c_str(), GetFileExInfoStandard, &data)) {
        return failed(GetLastError());
    }
    return static_cast<std::int64_t>((std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow);
}

// The path keeps the units as made from wchar_t; made from a std::string, it
// would widen each byte on its own.
std::optional<std::filesystem::path> pathNamed(std::string_view name)
{
    if (name.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    const auto units = utf16FromWtf8(name);
    if (!units) {
        return std::nullopt;
    }
    return std::filesystem::path(std::wstring(units->begin(), units->end()));
}

// path::string() would throw for a lone surrogate, and WideCharToMultiByte
// would put U+FFFD in its place, which is another file's name.
std::string nameOf(const std::filesystem::path& path)
{
    const std::wstring& units = path.native();
    return wtf8FromUtf16(std::u16string(units.begin(), units.end()));
}

bool backslashSeparates()
{
    return true;
}

bool carriageReturnEndsLines()
{
    return true;
}

// The decimal separator of the locale that LC_ALL, then LC_NUMERIC, then LANG
// name, their POSIX name (fr_FR.UTF-8) read as Windows names it (fr-FR), so
// that one environment gives one text on both systems; a name Windows does
// not know (C, POSIX, C.UTF-8) gives a point, as on Linux. With none set, the
// user's own locale, as for every Windows program.
std::string userDecimalSeparator()
{
    const std::string_view name = numericLocaleName();
    std::wstring locale;
    for (const char c : name.substr(0, name.find_first_of(".@"))) {
        locale += c == '_' ? L'-' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    wchar_t separator[8] = {};
    const int length = GetLocaleInfoEx(name.empty() ? LOCALE_NAME_USER_DEFAULT : locale.c_str(),
                                       LOCALE_SDECIMAL, separator, static_cast<int>(std::size(separator)));
    if (length <= 1) {
        return ".";
    }
    return wtf8FromUtf16(std::u16string(separator, separator + length - 1));
}

}  // namespace vardane::system
