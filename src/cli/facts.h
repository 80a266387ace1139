// The facts of one image as `info` and `diff` give them: the open scan, run
// exactly as the window's Open runs it, and the checksum of the region.
#pragma once

#include "image/open_image.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vardane::cli {

struct Facts {
    OpenResult opened;
    std::optional<std::uint8_t> sum;  // none when the region cannot be summed
};

[[nodiscard]] Facts gatherFacts(const std::filesystem::path& path, const std::string& decimalSeparator);

// The object of `info --json`.
[[nodiscard]] QJsonObject toJson(const Facts& facts);

// The keys of that object, in the order of the contract; those the window
// shows in a row carry its caption.
struct FactKey {
    const char* key;
    std::string_view caption;  // empty: not a row of the window
};
extern const std::array<FactKey, 17> kFactKeys;

// A fact's value as a line of text shows it: strings as they are, numbers in
// decimal, the checksum as the window's state text (with its sum if asked).
[[nodiscard]] std::string factText(const QString& key, const QJsonValue& value, bool withSum = false);

}  // namespace vardane::cli
