#include "process.h"

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <system_error>

namespace vardane::test {
namespace {

[[noreturn]] void fail(const std::string& what)
{
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

std::wstring wide(const std::string& utf8)
{
    if (utf8.empty()) {
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (length == 0) {
        fail("not UTF-8: " + utf8);
    }
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, text.data(), length);
    return text;
}

// One argument as the child's C runtime splits its command line back into
// argv: quoted when it is empty or holds a blank or a quote, and then each
// quote and the backslashes just before it (or before the closing quote)
// escaped by a backslash; other backslashes stand for themselves.
std::wstring quoted(const std::wstring& word)
{
    if (!word.empty() && word.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        return word;
    }
    std::wstring text = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : word) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        text.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        text += c;
        backslashes = 0;
    }
    return text.append(2 * backslashes, L'\\') + L'"';
}

// Windows wants the variables sorted by name, without regard to case, and
// the block closed by an empty string.
std::wstring environmentBlock(const std::vector<std::string>& environment)
{
    std::vector<std::wstring> variables;
    std::transform(environment.begin(), environment.end(), std::back_inserter(variables), wide);
    // A name may start with "=", as in "=C:=C:\\".
    const auto nameLength = [](const std::wstring& variable) {
        return static_cast<int>(std::min(variable.find(L'=', 1), variable.size()));
    };
    std::sort(variables.begin(), variables.end(), [&](const std::wstring& a, const std::wstring& b) {
        return CompareStringOrdinal(a.data(), nameLength(a), b.data(), nameLength(b), TRUE) == CSTR_LESS_THAN;
    });
    std::wstring block;
    for (const std::wstring& variable : variables) {
        block += variable + L'\0';
    }
    return variables.empty() ? std::wstring(2, L'\0') : block + L'\0';
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

// A temporary file for one of the child's standard streams, gone when its
// last handle closes: unlike a pipe it never fills up, however much the child
// writes before we read. The child inherits this handle, and with it the
// file's position, so each side starts from the beginning.
class Scratch {
public:
    Scratch() : handle_(open()) {}

    [[nodiscard]] HANDLE get() const { return handle_.get(); }
    void write(const std::string& bytes) const
    {
        DWORD wrote = 0;
        if (!WriteFile(get(), bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) ||
            wrote != bytes.size()) {
            fail("WriteFile");
        }
        rewind();
    }
    [[nodiscard]] std::string read() const
    {
        rewind();
        std::string bytes;
        char buffer[65536];
        DWORD got = 0;
        do {
            if (!ReadFile(get(), buffer, sizeof buffer, &got, nullptr)) {
                fail("ReadFile");
            }
            bytes.append(buffer, got);
        } while (got > 0);
        return bytes;
    }

private:
    static HANDLE open()
    {
        wchar_t name[MAX_PATH];
        if (GetTempFileNameW(std::filesystem::temp_directory_path().c_str(), L"vdn", 0, name) == 0) {
            fail("GetTempFileNameW");
        }
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        const HANDLE handle = CreateFileW(
            name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            fail("CreateFileW");
        }
        return handle;
    }
    void rewind() const
    {
        if (!SetFilePointerEx(get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN)) {
            fail("SetFilePointerEx");
        }
    }

    Handle handle_;
};

}  // namespace

Ran runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
               const std::vector<std::string>& environment, const std::string& input)
{
    const Scratch in, out, err;
    in.write(input);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in.get();
    startup.hStdOutput = out.get();
    startup.hStdError = err.get();

    // The program's own name is taken up to the next quote, escapes and all:
    // a path holds no quote.
    std::wstring commandLine = L'"' + program.native() + L'"';
    for (const std::string& argument : arguments) {
        commandLine += L' ' + quoted(wide(argument));
    }
    std::wstring block = environmentBlock(environment);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                        CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, block.data(), nullptr, &startup,
                        &started)) {
        fail("CreateProcessW " + program.string());
    }
    const Handle child(started.hProcess);
    const Handle thread(started.hThread);
    DWORD status = 0;
    if (WaitForSingleObject(child.get(), INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(child.get(), &status)) {
        fail("GetExitCodeProcess");
    }
    return {static_cast<int>(status), out.read(), err.read()};
}

}  // namespace vardane::test
