// The one place where the window turns a name it was given (by Qt's file
// dialog, a drop or its command line) into the core's path, so that it opens
// exactly the file named, whatever bytes the name holds.
#pragma once

#include "system/system.h"

#include <QFile>
#include <QString>
#include <QUrl>
#include <filesystem>
#include <optional>
#include <string_view>

namespace vardane {

// A path from Qt, in the bytes the system knows it by.
[[nodiscard]] inline std::filesystem::path corePath(const QString& path)
{
    const QByteArray bytes = QFile::encodeName(path);
    return system::pathNamed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))
        .value_or(std::filesystem::path());
}

// An argument of the command line: its bytes as given, nothing cleaned, so
// that ".." is taken against what the system finds there, links included.
[[nodiscard]] inline std::filesystem::path argumentPath(std::string_view argument)
{
    return system::pathNamed(argument).value_or(std::filesystem::path());
}

// The file a dropped URL names: a local one only (Qt calls "file://host/x"
// local too), its path decoded to the bytes it was encoded from.
[[nodiscard]] inline std::optional<std::filesystem::path> droppedPath(const QUrl& url)
{
    if (!url.isLocalFile() || !(url.host().isEmpty() || url.host() == "localhost")) {
        return std::nullopt;
    }
    const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return system::pathNamed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace vardane
