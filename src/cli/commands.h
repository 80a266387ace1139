// The commands of vardane-cli. Each takes its parsed arguments and returns
// the process's exit status.
#pragma once

#include "cli/command_line.h"
#include "cli/console.h"

#include <span>
#include <string>

namespace vardane::cli {

[[nodiscard]] int runInfo(const CommandArguments& arguments, Console& console);
[[nodiscard]] int runVerify(const CommandArguments& arguments, Console& console);
[[nodiscard]] int runFix(const CommandArguments& arguments, Console& console);
[[nodiscard]] int runDiff(const CommandArguments& arguments, Console& console);
[[nodiscard]] int runSetMem(const CommandArguments& arguments, Console& console);
[[nodiscard]] int runSetCore(const CommandArguments& arguments, Console& console);
[[nodiscard]] int runSba(const CommandArguments& arguments, Console& console);
[[nodiscard]] int runHeader(const CommandArguments& arguments, Console& console);

// The whole command line, the program's name first, as main receives it.
// Standard output that cannot be written is a refusal.
[[nodiscard]] int run(std::span<const std::string> arguments, Console& console);

// run() on the process's own standard streams, made fit for it first, with
// the user's decimal separator: what main does.
[[nodiscard]] int runOnStandardStreams(std::span<const std::string> arguments);

}  // namespace vardane::cli
