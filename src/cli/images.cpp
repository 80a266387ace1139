#include "cli/images.h"

#include "cli/list_input.h"
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
// its newline, a carriage return among them where a name can hold one.
// Memory stays bounded whatever the input: of a line longer than a name can
// be, only the start is kept.
class ListReader {
public:
    explicit ListReader(std::FILE* in) : in_(in), bytes_(listBytes(in)) {}

    // The next line, none at the end of the list or where a read failed; a
    // last line without its newline counts.
    [[nodiscard]] std::optional<ListedLine> next()
    {
        std::string bytes;
        std::size_t length = 0;  // past the bytes kept too
        int last = EOF;
        for (int c = bytes_(); c != EOF; last = c, c = bytes_()) {
            if (c == '\n') {
                const bool endsHere = last == '\r' && system::carriageReturnEndsLines();
                return kept(std::move(bytes), endsHere ? length - 1 : length);
            }
            // One byte more than is kept, for a carriage return that ends the line.
            if (bytes.size() <= kLongestListedName) {
                bytes += static_cast<char>(c);
            }
            ++length;
        }
        if (std::ferror(in_) != 0) {
            error_ = errno == 0 ? EIO : errno;
            return std::nullopt;
        }
        return last == EOF ? std::nullopt : std::optional(kept(std::move(bytes), length));
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
    static ListedLine kept(std::string bytes, std::size_t length)
    {
        bytes.resize(std::min(length, kLongestListedName));
        return {std::move(bytes), length > kLongestListedName};
    }

    std::FILE* in_;
    ListBytes bytes_;
    int error_ = 0;
};

// A name that the system cannot take holds a NUL, or on Windows is not UTF-8.
ImageArgument named(std::string given)
{
    auto path = system::pathNamed(given);
    const std::string_view why = given.find('\0') == std::string::npos ? kNotUtf8Name : kNulInPath;
    return {std::move(given), std::move(path), why};
}

ImageArgument listed(ListedLine line)
{
    if (line.overlong) {
        return {std::move(line.bytes), std::nullopt, kLineTooLong};
    }
    return named(std::move(line.bytes));
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
            if (!handle(named(given))) {
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
