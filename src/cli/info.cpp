#include "cli/commands.h"
#include "cli/facts.h"
#include "cli/images.h"
#include "cli/json.h"
#include "cli/texts.h"

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
OpenResult unnamed(const std::string& given)
{
    OpenResult opened;
    opened.state.filePath = given;
    opened.state.fileTitle = std::filesystem::path(given).filename().string();
    return opened;
}

int info(const ImageArgument& image, bool json, bool several, Console& console)
{
    const OpenResult opened =
        image.path ? openImage(*image.path, console.decimalSeparator) : unnamed(image.given);
    const std::vector<Fact> facts = shownFacts(opened);
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
