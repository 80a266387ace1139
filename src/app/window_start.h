#pragma once

#include <cstdio>
#include <string>

namespace vardane {

// Tells a text of the command line (help and the version on stdout, a
// refusal on stderr); false when it could not be told all the way, which
// makes help or the version a refusal, as for vardane-cli.
using Tell = bool (*)(std::FILE* stream, const std::string& text);

[[nodiscard]] bool tellOnStream(std::FILE* stream, const std::string& text);

// The texts of the command line that each system says its own way, for a
// terminal on Linux, for a box in a proportional font on Windows.
struct CommandLineTexts {
    const char* usage;          // --help
    const char* severalImages;  // the refusal of more than one image
};

// The program as its command line asks: help, the version, a refusal, or the
// main window, opened on the image named. The arguments are the bytes of the
// names (WTF-8 on Windows); QApplication keeps argc and argv.
[[nodiscard]] int startWindow(int& argc, char* argv[], bool displayReachable, Tell tell,
                              const CommandLineTexts& texts);

}  // namespace vardane
