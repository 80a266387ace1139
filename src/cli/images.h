// The IMAGE... of info, verify and fix: the arguments, or with "-" the paths
// that standard input gives, one per line, read as they come.
#pragma once

#include "cli/console.h"

#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>

namespace vardane::cli {

struct ImageArgument {
    QString given;               // as the user wrote it
    std::filesystem::path path;  // as the system spells it
};

enum class Headers { none, perImage };

// Runs `each` on every image in turn; a refused image never stops the next.
// With one image argument, `each` runs as for that image alone. With several,
// and always with "-": `several` is true, a line ==> PATH <== comes before each
// image's output when asked, every refusal starts with the path, and with "-"
// each image's output leaves at once. Gives the highest status any image gave.
[[nodiscard]] int forEachImage(const QStringList& images, Console& console, Headers headers,
                               const std::function<int(const ImageArgument&, Console&, bool several)>& each);

}  // namespace vardane::cli
