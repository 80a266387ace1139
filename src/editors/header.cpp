#include "editors/header.h"

#include "image/image_file.h"
#include "image/layout.h"
#include "text/encoding.h"

#include <algorithm>

namespace vardane {
namespace {

namespace L = layout;

}  // namespace

Outcome<HeaderField> readHeaderField(const KnownFile& file, std::optional<std::int64_t> headerStart)
{
    if (!headerStart) {
        return refused(Refusal::noHeader);
    }
    const auto read = ImageFile::read(file, *headerStart, L::kHeaderFieldSearchLength);
    if (!read) {
        return refused(read.error());
    }
    const std::vector<std::uint8_t>& bytes = read->bytes;
    const auto end = std::find(bytes.begin(), bytes.end(), L::kHeaderFieldEnd);
    if (end == bytes.end()) {
        return refused(Refusal::noHeaderField);
    }
    if (end == bytes.begin()) {
        return refused(Refusal::emptyHeaderField);
    }
    return HeaderField{*headerStart, {bytes.begin(), end}};
}

Outcome<std::vector<std::uint8_t>> encodeHeaderText(std::u32string_view text, std::size_t width)
{
    if (std::any_of(text.begin(), text.end(), [](char32_t c) { return isUnsafeToShow(c); })) {
        return refused(Refusal::controlCharacter);
    }
    auto bytes = encodeWindows1252(text);
    if (!bytes) {
        return refused(Refusal::unrepresentable);
    }
    if (bytes->size() > width) {
        return refused(Refusal::textTooLong);
    }
    bytes->resize(width, L::kHeaderFieldPad);
    return std::move(*bytes);
}

Outcome<void> writeHeaderField(const KnownFile& file, const HeaderField& field,
                               const std::vector<std::uint8_t>& newBytes)
{
    if (field.width() == 0 || newBytes.size() != field.width()) {
        return refused(Refusal::textTooLong);
    }
    ExpectedBytes loaded{field.start, field.bytes};
    loaded.bytes.push_back(L::kHeaderFieldEnd);
    return ImageFile::write(file, field.start, newBytes, {{std::move(loaded)}, {}});
}

}  // namespace vardane
