// The IMAGE... of info, verify and fix: the arguments, or with "-" the paths
// that standard input gives, one per line, read as they come.
#pragma once

#include "cli/console.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vardane::cli {

// The most of a listed line that is kept: no name the system takes is longer.
inline constexpr std::size_t kLongestListedName = 4096;

struct ImageArgument {
    std::string given;                          // the bytes as given (of a long line, the first ones)
    std::optional<std::filesystem::path> path;  // none when they cannot name a file
    std::string_view whyNoPath;                 // then, the refusal's reason
};

enum class Headers { none, perImage };

using EachImage = std::function<int(const ImageArgument&, Console&, bool several)>;

// Runs `each` on every image in turn; a refused image never stops the next,
// output that cannot be written stops them all. With one image argument,
// `each` runs as for that image alone. With several, and always with "-":
// `several` is true, a line ==> PATH <== comes before each image's output when
// asked, and every refusal starts with the path. Each image's output leaves
// at once. Gives the highest status any image gave; a list that cannot be
// read is refused.
[[nodiscard]] int forEachImage(std::span<const std::string> images, Console& console, Headers headers,
                               const EachImage& each);

}  // namespace vardane::cli
