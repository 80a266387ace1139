#include "cli/commands.h"
#include "cli/facts.h"
#include "cli/images.h"
#include "cli/json.h"
#include "cli/texts.h"
#include "compare/wording.h"

namespace vardane::cli {
namespace {

void printRows(const std::vector<Fact>& facts, std::ostream& out)
{
    for (const Fact& fact : facts) {
        if (!fact.caption.empty()) {
            out << lineStart(fact.key, fact.caption) << lineText(fact.key, fact.value) << '\n';
        }
    }
}

// What an open of a line that names no file would give, without asking the
// file system, which would read another name from it.
ImageFacts unnamed(const std::string& given)
{
    ImageFacts facts;
    facts.filePath = given;
    return facts;
}

int info(const ImageArgument& image, bool json, bool several, Console& console)
{
    const ImageFacts opened = image.path ? openImage(*image.path) : unnamed(image.given);
    const std::vector<Fact> facts = factsOf(opened, console.decimalSeparator);
    if (!json) {
        printRows(facts, console.out);
    } else {
        // One object a line in a collection, so that it reads as JSON Lines.
        console.out << infoJson(facts, several ? std::optional(shownName(image.given)) : std::nullopt)
                    << '\n';
    }
    if (!image.path) {
        return refuse(console, image.whyNoPath);
    }
    return opened.status == OpenStatus::accepted ? kExitSuccess : refuse(console, openMessage(opened.status));
}

}  // namespace

int runInfo(const CommandArguments& arguments, Console& console)
{
    return forEachImage(arguments.operands, console, arguments.flag ? Headers::none : Headers::perImage,
                        [json = arguments.flag](const ImageArgument& image, Console& one, bool several) {
                            return info(image, json, several, one);
                        });
}

}  // namespace vardane::cli
