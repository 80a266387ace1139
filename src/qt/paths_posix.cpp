#include "qt/paths.h"

#include <QFile>

namespace vardane {

namespace {

std::optional<std::filesystem::path> pathOfBytes(const QByteArray& bytes)
{
    return system::pathNamed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace

std::filesystem::path corePath(const QString& path)
{
    return pathOfBytes(QFile::encodeName(path)).value_or(std::filesystem::path());
}

// The bytes the URL's path was percent-encoded from, not Qt's reading of
// them as UTF-8, which would turn a byte that is not into U+FFFD.
std::optional<std::filesystem::path> droppedPath(const QUrl& url)
{
    if (!fromThisMachine(url)) {
        return std::nullopt;
    }
    return pathOfBytes(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

}  // namespace vardane
