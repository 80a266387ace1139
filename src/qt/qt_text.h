// Where the core's UTF-8 texts cross into Qt, for the windows and the CLI alike.
#pragma once

#include <QString>
#include <string_view>

namespace vardane {

[[nodiscard]] inline QString qtText(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace vardane
