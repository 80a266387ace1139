// The commands of vardane-cli. Each takes the arguments from its own name on
// and returns the process's exit status.
#pragma once

#include "cli/console.h"

#include <QStringList>

namespace vardane::cli {

[[nodiscard]] int runInfo(const QStringList& arguments, Console& console);
[[nodiscard]] int runVerify(const QStringList& arguments, Console& console);
[[nodiscard]] int runFix(const QStringList& arguments, Console& console);
[[nodiscard]] int runDiff(const QStringList& arguments, Console& console);
[[nodiscard]] int runSetMem(const QStringList& arguments, Console& console);
[[nodiscard]] int runSetCore(const QStringList& arguments, Console& console);
[[nodiscard]] int runSba(const QStringList& arguments, Console& console);
[[nodiscard]] int runHeader(const QStringList& arguments, Console& console);

// The whole command line, the program's name first.
[[nodiscard]] int run(const QStringList& arguments, Console& console);

}  // namespace vardane::cli
