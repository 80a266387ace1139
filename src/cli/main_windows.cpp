#include "cli/commands.h"
#include "system/arguments_windows.h"

// The C runtime expands `*` and `?` in the arguments, as the shell does on
// Linux (see arguments_windows.h).
extern "C" {
int _dowildcard = -1;
}

int wmain(int argc, wchar_t* argv[])
{
    return vardane::cli::runOnStandardStreams(vardane::system::wtf8Arguments(argc, argv));
}
