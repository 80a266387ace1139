#include "editors/header.h"

#include "image/image_file.h"
#include "image/layout.h"
#include "image/text.h"

#include <algorithm>
#include <string>

namespace vardane {
namespace {

namespace L = layout;

bool isControlCharacter(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

}  // namespace

Expected<HeaderField, HeaderError> readHeaderField(const std::filesystem::path& path,
                                                   std::optional<std::int64_t> headerStart)
{
    if (!headerStart) {
        return Unexpected{HeaderError::noHeader};
    }
    const auto bytes = ImageFile::read(path, *headerStart, L::kHeaderFieldSearchLength);
    if (!bytes) {
        return Unexpected{HeaderError::unreachable};
    }
    const auto end = std::find(bytes->begin(), bytes->end(), L::kHeaderFieldEnd);
    if (end == bytes->end()) {
        return Unexpected{HeaderError::noField};
    }
    if (end == bytes->begin()) {
        return Unexpected{HeaderError::emptyField};
    }
    HeaderField field;
    field.start = *headerStart;
    field.width = static_cast<std::size_t>(end - bytes->begin());
    field.bytes.assign(bytes->begin(), end);
    return field;
}

Expected<std::vector<std::uint8_t>, HeaderError> encodeHeaderText(std::u32string_view text, std::size_t width)
{
    if (std::any_of(text.begin(), text.end(), isControlCharacter)) {
        return Unexpected{HeaderError::controlCharacter};
    }
    auto bytes = encodeWindows1252(text);
    if (!bytes) {
        return Unexpected{HeaderError::unrepresentable};
    }
    if (bytes->size() > width) {
        return Unexpected{HeaderError::tooLong};
    }
    bytes->resize(width, L::kHeaderFieldPad);
    return std::move(*bytes);
}

Expected<void, HeaderError> writeHeaderField(const std::filesystem::path& path, const HeaderField& field,
                                             const std::vector<std::uint8_t>& newBytes)
{
    if (field.width == 0 || field.bytes.size() != field.width || newBytes.size() != field.width) {
        return Unexpected{HeaderError::tooLong};
    }
    Expectation loaded{field.start, field.bytes};
    loaded.bytes.push_back(L::kHeaderFieldEnd);
    const auto written = ImageFile::write(path, field.start, newBytes, loaded);
    if (!written) {
        switch (written.error()) {
            case IoError::contentChanged:
                return Unexpected{HeaderError::changed};
            case IoError::damaged:
                return Unexpected{HeaderError::damaged};
            default:
                return Unexpected{HeaderError::unreachable};
        }
    }
    return {};
}

}  // namespace vardane
