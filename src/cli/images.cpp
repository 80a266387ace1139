#include "cli/images.h"

#include "cli/texts.h"

#include <sys/types.h>
#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace vardane::cli {
namespace {

constexpr std::string_view kStandardInput = "-";

// The lines of the list, as they come. std::getline cannot tell a read that
// failed from the end of the list; getline(3) and ferror can.
class ListReader {
public:
    explicit ListReader(std::FILE* in) : in_(in) {}
    ~ListReader() { std::free(line_); }
    ListReader(const ListReader&) = delete;
    ListReader& operator=(const ListReader&) = delete;

    // The next line without its end, none at the end of the list or where a
    // read failed. A list written on another system ends its lines with a
    // carriage return.
    [[nodiscard]] std::optional<std::string> next()
    {
        const ssize_t length = ::getline(&line_, &capacity_, in_);
        if (length < 0) {
            error_ = std::ferror(in_) != 0 ? errno : 0;
            return std::nullopt;
        }
        std::string line(line_, static_cast<std::size_t>(length));
        for (const char end : {'\n', '\r'}) {
            if (!line.empty() && line.back() == end) {
                line.pop_back();
            }
        }
        return line;
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
    char* line_ = nullptr;
    std::size_t capacity_ = 0;
    int error_ = 0;
};

// A path holds no NUL: the system would read another file from it.
ImageArgument listed(std::string line)
{
    if (line.find('\0') != std::string::npos) {
        return {std::move(line), std::nullopt};
    }
    std::filesystem::path path(line);
    return {std::move(line), std::move(path)};
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
            if (!handle({given, std::filesystem::path(given)})) {
                break;
            }
        }
        return status;
    }
    ListReader list(console.in);
    while (auto line = list.next()) {
        if (!line->empty() && !handle(listed(std::move(*line)))) {
            return status;
        }
    }
    if (list.failed()) {
        return std::max(status, refuse(console, std::string(kCannotReadList) + std::string(list.reason())));
    }
    return status;
}

}  // namespace vardane::cli
