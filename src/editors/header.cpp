#include "editors/header.h"

#include "image/image_file.h"
#include "image/layout.h"
#include "image/text.h"

#include <algorithm>
#include <string>

namespace vardane {
namespace {

namespace L = layout;

bool hasControlCharacter(std::string_view utf8)
{
    // Control characters are single UTF-8 bytes (C0) or the two-byte C1 range
    // U+0080..U+009F, whose lead byte is 0xC2 followed by 0x80..0x9F.
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x20 || byte == 0x7F) {
            return true;
        }
        if (byte == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
            return true;
        }
    }
    return false;
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

Expected<std::vector<std::uint8_t>, HeaderError> encodeHeaderText(std::string_view utf8, std::size_t width)
{
    if (hasControlCharacter(utf8)) {
        return Unexpected{HeaderError::controlCharacter};
    }
    auto bytes = encodeWindows1252(utf8);
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
        return Unexpected{written.error() == IoError::contentChanged ? HeaderError::changed
                                                                     : HeaderError::unreachable};
    }
    return {};
}

}  // namespace vardane
