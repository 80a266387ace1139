#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/facts.h"
#include "cli/images.h"
#include "cli/texts.h"
#include "qt/qt_text.h"

#include <QJsonDocument>

namespace vardane::cli {
namespace {

void printRows(const QJsonObject& facts, std::ostream& out)
{
    for (const FactKey& fact : kFactKeys) {
        if (fact.caption.empty()) {
            continue;
        }
        // The checksum caption already ends with its blank.
        out << fact.caption << (fact.caption.ends_with(' ') ? "" : " ")
            << printable(factText(fact.key, facts[fact.key])) << '\n';
    }
}

int info(const ImageArgument& image, bool json, bool several, Console& console)
{
    QJsonObject facts = toJson(gatherFacts(image.path, console.decimalSeparator));
    if (!json) {
        printRows(facts, console.out);
    } else if (several) {
        // One object a line, so that a collection reads as JSON Lines.
        facts.insert("path", image.given);
        console.out << QJsonDocument(facts).toJson(QJsonDocument::Compact).toStdString() << '\n';
    } else {
        console.out << QJsonDocument(facts).toJson(QJsonDocument::Indented).toStdString();
    }
    const QJsonValue message = facts["message"];
    return message.isNull() ? kExitSuccess : refuse(console, message.toString().toStdString());
}

}  // namespace

int runInfo(const QStringList& arguments, Console& console)
{
    return withArguments(arguments, {"info [--json] IMAGE...", "json", kJsonOption, 1, true}, console,
                         [](const CommandArguments& parsed, Console& c) {
                             return forEachImage(
                                 parsed.positionals, c, parsed.flag ? Headers::none : Headers::perImage,
                                 [&parsed](const ImageArgument& image, Console& one, bool several) {
                                     return info(image, parsed.flag, several, one);
                                 });
                         });
}

}  // namespace vardane::cli
