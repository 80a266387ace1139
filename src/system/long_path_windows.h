// How system_windows.cpp names a file to Windows, for the tests to see.
#pragma once

#include <filesystem>
#include <string>

namespace vardane::system {

// The path in its \\?\ form, whole (relative taken against the current
// folder, "." and ".." resolved, "/" made "\"), \\?\UNC\server\share\... for
// \\server\share\...: in that form, Windows opens paths over 260 characters
// whatever the machine's setting. A path already in that form, or naming a
// device (\\.\, and NUL, CON... as Windows reads them), stays as it is.
[[nodiscard]] std::wstring longPathForm(const std::filesystem::path& path);

}  // namespace vardane::system
