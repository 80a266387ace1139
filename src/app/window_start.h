#pragma once

namespace vardane {

// The program as its command line asks: help, the version, a refusal, or the
// main window, opened on the image named. The arguments are the bytes of the
// names (WTF-8 on Windows); QApplication keeps argc and argv.
[[nodiscard]] int startWindow(int& argc, char* argv[], bool displayReachable);

}  // namespace vardane
