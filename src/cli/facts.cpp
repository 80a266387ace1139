#include "cli/facts.h"

#include "cli/console.h"
#include "image/image_state.h"

namespace vardane::cli {

std::vector<Fact> shownFacts(const OpenResult& opened)
{
    std::vector<Fact> facts = factsOf(opened);
    for (Fact& fact : facts) {
        fact.value = shownValue(fact.key, std::move(fact.value));
    }
    return facts;
}

FactValue shownValue(std::string_view key, FactValue value)
{
    // The core keeps the name's bytes as the system gave them.
    if (const auto* name = std::get_if<std::string>(&value); name != nullptr && key == "fileTitle") {
        return shownName(*name);
    }
    return value;
}

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
