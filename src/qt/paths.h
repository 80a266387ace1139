// The one place where the window turns a name it was given (by Qt's file
// dialog, a drop or its command line) into the core's path, so that it opens
// exactly the file named, whatever the name holds. Qt's names become paths
// in one file per system: from bytes on POSIX, from UTF-16 on Windows.
#pragma once

#include "system/system.h"

#include <QString>
#include <QUrl>
#include <filesystem>
#include <optional>
#include <string_view>

namespace vardane {

// A path from Qt, as the system knows it.
[[nodiscard]] std::filesystem::path corePath(const QString& path);

// The file a dropped URL names: a local one only (Qt calls "file://host/x"
// local too), decoded to exactly the name it was encoded from.
[[nodiscard]] std::optional<std::filesystem::path> droppedPath(const QUrl& url);

// An argument of the command line: its bytes as given, nothing cleaned, so
// that ".." is taken against what the system finds there, links included.
[[nodiscard]] inline std::filesystem::path argumentPath(std::string_view argument)
{
    return system::pathNamed(argument).value_or(std::filesystem::path());
}

[[nodiscard]] inline bool fromThisMachine(const QUrl& url)
{
    return url.isLocalFile() && (url.host().isEmpty() || url.host() == "localhost");
}

}  // namespace vardane
