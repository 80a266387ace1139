#include "cli/streams.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <iostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace vardane::cli {
namespace {

// How many bytes at the end of `text` start a UTF-8 sequence that has not
// come whole yet. The first byte of a sequence starts with as many 1 bits as
// the sequence has bytes (none for ASCII), each byte after it with one.
std::size_t unfinished(std::string_view text)
{
    for (std::size_t back = 1; back <= std::min<std::size_t>(3, text.size()); ++back) {
        const int ones = std::countl_one(static_cast<unsigned char>(text[text.size() - back]));
        if (ones != 1) {
            return static_cast<std::size_t>(ones) > back ? back : 0;
        }
    }
    return 0;
}

// Text for a console window, which shows UTF-8 only in its UTF-8 code page
// and, on older Windows, only when each character comes whole in one write,
// which msvcrt does not ensure there. Written as UTF-16 with WriteConsoleW,
// the text shows as it is whatever the code page, and the code page is left
// alone: a change would outlast the program in the user's console.
class ConsoleBuffer final : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) {}

protected:
    // Line by line, as a terminal shows standard output, so that a refusal
    // on standard error comes after the lines written before it.
    int_type overflow(int_type c) override
    {
        constexpr std::size_t kLongestLine = 4096;
        if (traits_type::eq_int_type(c, traits_type::eof())) {
            return traits_type::not_eof(c);
        }
        pending_ += traits_type::to_char_type(c);
        return (c != '\n' && pending_.size() < kLongestLine) || drain() ? c : traits_type::eof();
    }

    int sync() override { return drain() ? 0 : -1; }

private:
    // Writes what is pending, but for a character whose last bytes are still
    // to come.
    bool drain()
    {
        const std::size_t whole = pending_.size() - unfinished(pending_);
        std::wstring text(whole, L'\0');
        const int length = whole == 0
                               ? 0
                               : MultiByteToWideChar(CP_UTF8, 0, pending_.data(), static_cast<int>(whole),
                                                     text.data(), static_cast<int>(whole));
        for (DWORD done = 0, wrote = 0; done < static_cast<DWORD>(length); done += wrote) {
            if (!WriteConsoleW(console_, text.data() + done, static_cast<DWORD>(length) - done, &wrote,
                               nullptr)) {
                return false;
            }
        }
        pending_.erase(0, whole);
        return true;
    }

    HANDLE console_;
    std::string pending_;
};

// Where the stream goes to a console window, it goes through a ConsoleBuffer.
// That is never freed: the stream writes through it until the very end of the
// process, after every static object is gone.
void toConsole(std::ostream& stream, DWORD standardHandle)
{
    const HANDLE handle = GetStdHandle(standardHandle);
    DWORD mode = 0;
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        stream.rdbuf(new ConsoleBuffer(handle));
    }
}

}  // namespace

// In text mode, msvcrt would write LF as CR LF and end the list at a 0x1A
// byte. A standard stream that the caller left closed has no descriptor: it
// stays closed, so that reading the list or writing the result fails and is
// refused.
bool prepareStandardStreams()
{
    for (const int fd : {0, 1, 2}) {
        if (_setmode(fd, _O_BINARY) == -1 && errno != EBADF) {
            return false;
        }
    }
    toConsole(std::cout, STD_OUTPUT_HANDLE);
    toConsole(std::cerr, STD_ERROR_HANDLE);
    return true;
}

}  // namespace vardane::cli
