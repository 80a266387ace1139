#include "cli/json.h"

#include <nlohmann/json.hpp>

namespace vardane::cli {
namespace {

using nlohmann::json;

constexpr int kIndent = 4;

json toJson(const FactValue& value)
{
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
        return *number;
    }
    if (const auto* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    if (const auto* checksum = std::get_if<ChecksumFact>(&value)) {
        return {{"sum", checksum->sum}, {"valid", checksum->sum == 0}};
    }
    return nullptr;
}

json toJson(const DifferingRun& run)
{
    json fields = json::array();
    for (const std::string_view field : run.fields) {
        fields.emplace_back(field);
    }
    return {{"start", run.first}, {"end", run.last}, {"fields", std::move(fields)}};
}

json sizeJson(const std::optional<std::int64_t>& size)
{
    return size ? json(*size) : json(nullptr);
}

}  // namespace

std::string infoJson(const Facts& facts, const std::optional<std::string>& path)
{
    json object = json::object();
    for (const auto& [key, value] : facts) {
        // Only a file that could not be read has a reason.
        if (key != FactKey::reason || !std::holds_alternative<std::monostate>(value)) {
            object[std::string(nameOf(key).json)] = toJson(value);
        }
    }
    if (!path) {
        return object.dump(kIndent);
    }
    object["path"] = *path;
    return object.dump();
}

std::string diffJson(std::string_view a, std::string_view b, const Differences& differences)
{
    json facts = json::array();
    for (const DifferingFact& fact : differences.facts) {
        facts.push_back({{"key", nameOf(fact.key).json}, {"a", toJson(fact.a)}, {"b", toJson(fact.b)}});
    }
    json runs = json::array();
    for (const DifferingRun& run : differences.runs) {
        runs.push_back(toJson(run));
    }
    const json object{{"a", a},
                      {"b", b},
                      {"identical", differences.identical},
                      {"facts", std::move(facts)},
                      {"runs", std::move(runs)},
                      {"sizes", {sizeJson(differences.sizeA), sizeJson(differences.sizeB)}}};
    return object.dump(kIndent);
}

}  // namespace vardane::cli
