#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/facts.h"
#include "cli/images.h"
#include "cli/texts.h"
#include "compare/compare.h"
#include "image/image_file.h"
#include "qt/qt_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <array>
#include <vector>

namespace vardane::cli {
namespace {

struct Side {
    ImageArgument image;
    Facts facts;
    QJsonObject json;
    std::vector<std::uint8_t> bytes;
};

// The facts and every byte of one image, or the reason to refuse it.
Expected<Side, std::string> load(const QString& given, const std::string& decimalSeparator)
{
    const std::filesystem::path path = imagePath(given);
    Facts facts = gatherFacts(path, decimalSeparator);
    switch (facts.opened.status) {
        case OpenStatus::rejected:
            return Unexpected{std::string(kNotAnImageMessage)};
        case OpenStatus::unreadable:
            return Unexpected{std::string(kCannotRead)};
        case OpenStatus::accepted:
        case OpenStatus::failed:
            break;
    }
    const auto size = ImageFile::size(path);
    auto bytes = size ? ImageFile::read(path, 0, static_cast<std::size_t>(*size)) : Unexpected{size.error()};
    if (!bytes) {
        return Unexpected{std::string(kCannotRead)};
    }
    QJsonObject json = toJson(facts);
    return Side{{given, path}, std::move(facts), std::move(json), std::move(bytes).value()};
}

std::string joined(const std::vector<std::string_view>& names)
{
    std::string text;
    for (const std::string_view name : names) {
        text += (text.empty() ? "" : ", ") + std::string(name);
    }
    return text;
}

void printHuman(const Side& a, const Side& b, const std::vector<DifferingRun>& runs, std::ostream& out)
{
    for (const FactKey& fact : kFactKeys) {
        if (a.json[fact.key] == b.json[fact.key]) {
            continue;
        }
        const std::string caption =
            fact.caption.empty() ? std::string(fact.key) + " :" : std::string(fact.caption);
        out << caption << (caption.ends_with(' ') ? "" : " ")
            << printable(factText(fact.key, a.json[fact.key], true)) << kChangedTo
            << printable(factText(fact.key, b.json[fact.key], true)) << '\n';
    }
    for (const DifferingRun& run : runs) {
        out << kDifferingBytes << hexText(static_cast<std::uint64_t>(run.first), 4) << ".."
            << hexText(static_cast<std::uint64_t>(run.last), 4) << " : " << joined(run.fields) << '\n';
    }
    if (a.bytes.size() != b.bytes.size()) {
        out << kLengths << a.bytes.size() << kChangedTo << b.bytes.size() << '\n';
    }
}

QJsonObject toJson(const Side& a, const Side& b, const std::vector<DifferingRun>& runs, bool identical)
{
    QJsonArray facts;
    for (const FactKey& fact : kFactKeys) {
        if (a.json[fact.key] != b.json[fact.key]) {
            facts.append(QJsonObject{{"key", fact.key}, {"a", a.json[fact.key]}, {"b", b.json[fact.key]}});
        }
    }
    QJsonArray runArray;
    for (const DifferingRun& run : runs) {
        QJsonArray names;
        for (const std::string_view name : run.fields) {
            names.append(qtText(name));
        }
        runArray.append(
            QJsonObject{{"start", qint64{run.first}}, {"end", qint64{run.last}}, {"fields", names}});
    }
    return QJsonObject{
        {"a", a.image.given},     {"b", b.image.given},
        {"identical", identical}, {"facts", facts},
        {"runs", runArray},       {"sizes", QJsonArray{qint64(a.bytes.size()), qint64(b.bytes.size())}}};
}

int diff(const CommandArguments& parsed, Console& console)
{
    std::array<std::optional<Side>, 2> sides;
    for (std::size_t i = 0; i < sides.size(); ++i) {
        auto side = load(parsed.positionals[static_cast<qsizetype>(i)], console.decimalSeparator);
        if (!side) {
            Console named = console;
            named.reasonPrefix = parsed.positionals[static_cast<qsizetype>(i)].toStdString() + " : ";
            return refuse(named, side.error());
        }
        sides[i] = std::move(side).value();
    }
    const Side& a = *sides[0];
    const Side& b = *sides[1];
    const auto runs = differingRuns(a.bytes, b.bytes, placedFields(a.facts.opened));
    const bool identical = a.bytes == b.bytes;
    if (parsed.flag) {
        console.out
            << QJsonDocument(toJson(a, b, runs, identical)).toJson(QJsonDocument::Indented).toStdString();
    } else if (identical) {
        console.out << kIdentical << '\n';
    } else {
        printHuman(a, b, runs, console.out);
    }
    return identical ? kExitSuccess : kExitDifferent;
}

}  // namespace

int runDiff(const QStringList& arguments, Console& console)
{
    return withArguments(arguments, {"diff [--json] IMAGE_A IMAGE_B", "json", kJsonOption, 2}, console, diff);
}

}  // namespace vardane::cli
