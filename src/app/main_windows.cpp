#include "app/window_start.h"
#include "system/arguments_windows.h"
#include "text/encoding.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

// A program of the desktop has standard streams only where they are
// redirected: started from Explorer, with images dropped on its icon, it has
// none, and on older Windows the console's cannot be written. Its help,
// version and refusals then show in a box instead of going nowhere; a stream
// that is there but failed still makes help or the version a refusal.
bool tell(std::FILE* stream, const std::string& text)
{
    const HANDLE handle = GetStdHandle(stream == stdout ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    const bool hasStream = handle != nullptr && handle != INVALID_HANDLE_VALUE;
    if (hasStream && vardane::tellOnStream(stream, text)) {
        return true;
    }
    // The text is WTF-8 made from the command line's UTF-16, so it always converts.
    const std::u16string units = vardane::utf16FromWtf8(text).value_or(std::u16string());
    const std::wstring wide(units.begin(), units.end());
    MessageBoxW(nullptr, wide.c_str(), L"Vardane",
                MB_OK | (stream == stdout ? MB_ICONINFORMATION : MB_ICONERROR));
    return !hasStream;
}

}  // namespace

// Windows always has a display.
int wmain(int argc, wchar_t* argv[])
{
    std::vector<std::string> arguments = vardane::system::wtf8Arguments(argc, argv);
    std::vector<char*> bytes;
    for (std::string& argument : arguments) {
        bytes.push_back(argument.data());
    }
    bytes.push_back(nullptr);
    return vardane::startWindow(argc, bytes.data(), true, tell);
}
