#include "cli/commands.h"
#include "cli/streams.h"
#include "system/system.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    if (!vardane::cli::prepareStandardStreams()) {
        return vardane::cli::kExitRefused;
    }
    const std::vector<std::string> arguments(argv, argv + argc);
    vardane::cli::Console console{stdin, std::cout, std::cerr, vardane::system::userDecimalSeparator(), {}};
    return vardane::cli::run(arguments, console);
}
