#include "cli/facts.h"

#include "cli/console.h"

namespace vardane::cli {

std::string lineText(std::string_view key, const FactValue& value, bool withSum)
{
    if (key == "checksum" && std::holds_alternative<std::monostate>(value)) {
        return std::string(kChecksumUnknown);
    }
    return printable(factText(value, withSum));
}

std::string lineStart(std::string_view key, std::string_view caption)
{
    std::string start(caption.empty() ? std::string(key) + " :" : std::string(caption));
    // The checksum caption already ends with its blank.
    return start.ends_with(' ') ? start : start + ' ';
}

}  // namespace vardane::cli
