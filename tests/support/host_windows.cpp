#include "host.h"
#include "test_image.h"

#include "text/encoding.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <system_error>

namespace vardane::test {
namespace {

using Handle = std::unique_ptr<void, decltype(&CloseHandle)>;

[[noreturn]] void fail(const std::string& what)
{
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

std::wstring wide(const std::string& text)
{
    const auto units = utf16FromWtf8(text);
    if (!units) {
        throw std::invalid_argument("not WTF-8: " + text);
    }
    return {units->begin(), units->end()};
}

// One argument as the child's C runtime splits its command line back into
// argv: as a user types it, in quotes where blanks would split it (a pattern
// in quotes would not be expanded). The tests' arguments hold no quote and
// end with no backslash, which would need escapes.
std::wstring quoted(const std::wstring& word)
{
    return word.empty() || word.find_first_of(L" \t") != std::wstring::npos ? L'"' + word + L'"' : word;
}

// A file for one of the child's standard streams, which it inherits: unlike
// a pipe it never fills up, however much the child writes before it ends.
Handle inherited(const std::filesystem::path& path, DWORD rights, DWORD disposition)
{
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const HANDLE handle = CreateFileW(path.c_str(), rights, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                      disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        fail("CreateFileW");
    }
    return {handle, &CloseHandle};
}

}  // namespace

const char* const kCommaLocale = "French_France";

Ran runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
               const std::vector<std::string>& environment, const std::string& input)
{
    const TempFolder folder;
    writeAll(folder.path() / "in", {input.begin(), input.end()});
    DWORD status = 0;
    {
        const Handle in = inherited(folder.path() / "in", GENERIC_READ, OPEN_EXISTING);
        const Handle out = inherited(folder.path() / "out", GENERIC_WRITE, CREATE_ALWAYS);
        const Handle err = inherited(folder.path() / "err", GENERIC_WRITE, CREATE_ALWAYS);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = in.get();
        startup.hStdOutput = out.get();
        startup.hStdError = err.get();
        // The program's own name is taken up to the next quote, escapes and
        // all: a path holds no quote.
        std::wstring commandLine = L'"' + program.native() + L'"';
        for (const std::string& argument : arguments) {
            commandLine += L' ' + quoted(wide(argument));
        }
        // Sorted by name, as Windows wants it, and closed by an empty string
        // (the one that ends every wstring).
        std::vector<std::string> variables = environment;
        std::sort(variables.begin(), variables.end());
        std::wstring block;
        for (const std::string& variable : variables) {
            block += wide(variable) + L'\0';
        }
        block += L'\0';
        PROCESS_INFORMATION started{};
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                            CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, block.data(), nullptr, &startup,
                            &started)) {
            fail("CreateProcessW " + program.string());
        }
        const Handle child(started.hProcess, &CloseHandle);
        const Handle thread(started.hThread, &CloseHandle);
        if (WaitForSingleObject(child.get(), INFINITE) != WAIT_OBJECT_0 ||
            !GetExitCodeProcess(child.get(), &status)) {
            fail("GetExitCodeProcess");
        }
    }
    return {static_cast<int>(status), readText(folder.path() / "out"), readText(folder.path() / "err")};
}

void setVariable(const char* name, const char* value)
{
    _putenv_s(name, value != nullptr ? value : "");
}

}  // namespace vardane::test
