#include "cli/images.h"

#include "cli/texts.h"
#include "compare/wording.h"
#include "system/system.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace vardane::cli {
namespace {

constexpr std::string_view kStandardInput = "-";

struct ListedLine {
    std::string bytes;
    bool overlong = false;
};

// The lines of the list, as they come: a line is exactly the bytes before
// its newline, a carriage return among them. Memory stays bounded whatever the
// input: of a line longer than a name can be, only the start is kept.
class ListReader {
public:
    explicit ListReader(std::FILE* in) : in_(in) {}

    // The next line, none at the end of the list or where a read failed; a
    // last line without its newline counts.
    [[nodiscard]] std::optional<ListedLine> next()
    {
        ListedLine line;
        bool any = false;
        for (int c = std::getc(in_); c != EOF; c = std::getc(in_)) {
            any = true;
            if (c == '\n') {
                return line;
            }
            if (line.bytes.size() < kLongestListedName) {
                line.bytes += static_cast<char>(c);
            } else {
                line.overlong = true;
            }
        }
        if (std::ferror(in_) != 0) {
            error_ = errno == 0 ? EIO : errno;
            return std::nullopt;
        }
        return any ? std::optional(std::move(line)) : std::nullopt;
    }

    [[nodiscard]] bool failed() const { return error_ != 0; }

    [[nodiscard]] std::string_view reason() const
    {
        switch (error_) {
            case EISDIR:
                return kListIsFolder;
            case EBADF:
                return kListClosed;
            default:
                return kListReadFailed;
        }
    }

private:
    std::FILE* in_;
    int error_ = 0;
};

ImageArgument listed(ListedLine line)
{
    if (line.overlong) {
        return {std::move(line.bytes), std::nullopt, kLineTooLong};
    }
    auto path = system::pathNamed(line.bytes);
    return {std::move(line.bytes), std::move(path), kNulInPath};
}

}  // namespace

int forEachImage(std::span<const std::string> images, Console& console, Headers headers,
                 const EachImage& each)
{
    const bool fromInput = std::find(images.begin(), images.end(), kStandardInput) != images.end();
    if (fromInput && images.size() > 1) {
        return refuse(console, kStandardInputAlone);
    }
    const bool several = fromInput || images.size() > 1;
    int status = kExitSuccess;
    // False once standard output cannot be written: the run stops there.
    const auto handle = [&](const ImageArgument& image) {
        Console forImage = console;
        if (several) {
            const std::string name = shownName(image.given);
            forImage.reasonPrefix = name + " : ";
            if (headers == Headers::perImage) {
                console.out << "==> " << name << " <==\n";
            }
        }
        status = std::max(status, each(image, forImage, several));
        return static_cast<bool>(console.out.flush());
    };
    if (!fromInput) {
        for (const std::string& given : images) {
            if (!handle({given, system::pathNamed(given), kNulInPath})) {
                break;
            }
        }
        return status;
    }
    ListReader list(console.in);
    while (auto line = list.next()) {
        if (!line->bytes.empty() && !handle(listed(std::move(*line)))) {
            return status;
        }
    }
    if (list.failed()) {
        return std::max(status, refuse(console, std::string(kCannotReadList) + std::string(list.reason())));
    }
    return status;
}

}  // namespace vardane::cli
