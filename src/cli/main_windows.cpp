#include "cli/commands.h"
#include "system/arguments_windows.h"

int wmain(int argc, wchar_t* argv[])
{
    return vardane::cli::runOnStandardStreams(vardane::system::wtf8Arguments(argc, argv));
}
