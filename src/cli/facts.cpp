#include "cli/facts.h"

#include "cli/console.h"

namespace vardane::cli {

std::string lineText(FactKey key, const FactValue& value, bool withSum)
{
    if (key == FactKey::checksum && std::holds_alternative<std::monostate>(value)) {
        return std::string(kChecksumUnknown);
    }
    return printable(factText(value, withSum));
}

std::string lineStart(FactKey key)
{
    const FactName& name = nameOf(key);
    std::string start(name.caption.empty() ? std::string(name.json) + " :" : std::string(name.caption));
    // The checksum caption already ends with its blank.
    return start.ends_with(' ') ? start : start + ' ';
}

}  // namespace vardane::cli
