#include "app/window_start.h"
#include "system/arguments_windows.h"

#include <string>
#include <vector>

// Windows always has a display.
int wmain(int argc, wchar_t* argv[])
{
    std::vector<std::string> arguments = vardane::system::wtf8Arguments(argc, argv);
    std::vector<char*> bytes;
    for (std::string& argument : arguments) {
        bytes.push_back(argument.data());
    }
    bytes.push_back(nullptr);
    return vardane::startWindow(argc, bytes.data(), true);
}
