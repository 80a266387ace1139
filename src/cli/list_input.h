// The bytes of the list that "-" reads on standard input, from which its
// lines are cut: on Linux as they come; on Windows as its tools save a list,
// too (list_input_posix.cpp, list_input_windows.cpp).
#pragma once

#include <cstdio>
#include <functional>

namespace vardane::cli {

// Gives the list's next byte at each call, and EOF at its end or where a read
// failed, which std::ferror then tells.
using ListBytes = std::function<int()>;

[[nodiscard]] ListBytes listBytes(std::FILE* in);

}  // namespace vardane::cli
