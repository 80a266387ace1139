#include "cli/images.h"

#include "cli/command_line.h"
#include "cli/texts.h"

#include <QFile>
#include <algorithm>
#include <string>

namespace vardane::cli {
namespace {

constexpr const char* kStandardInput = "-";

}  // namespace

int forEachImage(const QStringList& images, Console& console, Headers headers,
                 const std::function<int(const ImageArgument&, Console&, bool several)>& each)
{
    const bool fromInput = images.contains(kStandardInput);
    if (fromInput && images.size() > 1) {
        return refuse(console, kStandardInputAlone);
    }
    const bool several = fromInput || images.size() > 1;
    int status = kExitSuccess;
    const auto run = [&](const ImageArgument& image) {
        Console forImage = console;
        if (several) {
            const std::string given = image.given.toStdString();
            forImage.reasonPrefix = given + " : ";
            if (headers == Headers::perImage) {
                console.out << "==> " << printable(given) << " <==\n";
            }
        }
        status = std::max(status, each(image, forImage, several));
    };
    if (!fromInput) {
        for (const QString& given : images) {
            run({given, imagePath(given)});
        }
        return status;
    }
    // A list written on another system ends its lines with a carriage return;
    // an empty line names no image.
    for (std::string line; std::getline(console.in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            continue;
        }
        // A path holds no NUL: a list made with find -print0 names other files
        // than the system would read from it.
        if (line.find('\0') != std::string::npos) {
            Console named = console;
            named.reasonPrefix = line + " : ";
            status = std::max(status, refuse(named, kNulInPath));
            continue;
        }
        run({QFile::decodeName(QByteArray::fromStdString(line)), std::filesystem::path(line)});
        console.out.flush();
    }
    return status;
}

}  // namespace vardane::cli
