#include "qt/paths.h"

namespace vardane {

// Windows names are UTF-16, as QString is: its units go to the path as they
// are, a lone surrogate included.
std::filesystem::path corePath(const QString& path)
{
    return std::filesystem::path(path.toStdWString());
}

// Qt makes "C:\x" of "file:///C:/x"; from a host, even "localhost", it would
// make a network name.
std::optional<std::filesystem::path> droppedPath(const QUrl& url)
{
    if (!fromThisMachine(url)) {
        return std::nullopt;
    }
    QUrl local = url;
    local.setHost(QString());
    return corePath(local.toLocalFile());
}

}  // namespace vardane
