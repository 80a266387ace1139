#include "cli/commands.h"
#include "cli/facts.h"
#include "cli/images.h"
#include "cli/json.h"
#include "cli/texts.h"
#include "compare/wording.h"
#include "system/system.h"

#include <algorithm>

namespace vardane::cli {
namespace {

void printRows(const Facts& facts, std::ostream& out)
{
    for (const auto& [key, value] : facts) {
        if (!nameOf(key).caption.empty()) {
            out << lineStart(key) << lineText(key, value) << '\n';
        }
    }
}

// The title of a line that names no file: its text past its last separator,
// as a file's title is its name. It never becomes a path, which could not hold
// every byte of it on every system.
std::string titleOf(std::string_view given)
{
    const std::size_t separator = given.find_last_of(system::backslashSeparates() ? "/\\" : "/");
    return shownName(separator == std::string_view::npos ? given : given.substr(separator + 1));
}

int info(const ImageArgument& image, bool json, bool several, Console& console)
{
    // A line that names no file is not opened: the system would read another
    // name from it.
    const ImageFacts opened = image.path ? openImage(*image.path) : ImageFacts{};
    Facts facts = factsOf(opened, console.decimalSeparator);
    if (!image.path) {
        facts[FactKey::fileTitle] = titleOf(image.given);
    }
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
    if (opened.status == OpenStatus::accepted) {
        return kExitSuccess;
    }
    const std::string message(openMessage(opened.status));
    return refuse(console, opened.readFailure ? message + " : " + std::string(reasonFor(*opened.readFailure))
                                              : message);
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
