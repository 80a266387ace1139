#include "cli/commands.h"

#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    return vardane::cli::runOnStandardStreams(std::vector<std::string>(argv, argv + argc));
}
