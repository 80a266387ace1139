#include "cli/commands.h"
#include "cli/facts.h"
#include "cli/json.h"
#include "cli/texts.h"
#include "compare/compare.h"
#include "compare/wording.h"
#include "system/system.h"

#include <vector>

namespace vardane::cli {
namespace {

// One read of the file gives its facts, its checksum and its bytes, so that
// they all come from the same version of it.
Outcome<ImageFacts> load(const std::string& given)
{
    ImageFacts opened = openImage(system::pathNamed(given).value_or(std::filesystem::path()));
    if (opened.status == OpenStatus::rejected) {
        return refused(Refusal::notAnImage);
    }
    if (!wasRead(opened)) {
        return refused(opened.readFailure.value_or(Refusal::readError));
    }
    return opened;
}

void printHuman(const Differences& differences, std::ostream& out)
{
    for (const DifferingFact& fact : differences.facts) {
        out << lineStart(fact.key) << lineText(fact.key, fact.a, true) << kChangedTo
            << lineText(fact.key, fact.b, true) << '\n';
    }
    for (const DifferingRun& run : differences.runs) {
        out << kDifferingBytes << hexText(static_cast<std::uint64_t>(run.first), 4) << ".."
            << hexText(static_cast<std::uint64_t>(run.last), 4) << " : " << joined(run.fields) << '\n';
    }
    // Both sizes are known: a file whose size is not was refused.
    if (differences.sizeA != differences.sizeB) {
        out << kLengths << *differences.sizeA << kChangedTo << *differences.sizeB << '\n';
    }
    if (differences.identical) {
        out << kIdentical << '\n';
    }
}

}  // namespace

int runDiff(const CommandArguments& arguments, Console& console)
{
    std::vector<ImageFacts> sides;
    for (const std::string& given : arguments.operands) {
        auto opened = load(given);
        if (!opened) {
            Console named = console;
            named.reasonPrefix = shownName(given) + " : ";
            return refuse(named, reasonFor(opened.error()));
        }
        sides.push_back(std::move(opened).value());
    }
    const Differences differences = compareImages(sides[0], sides[1], console.decimalSeparator);
    if (arguments.flag) {
        console.out << diffJson(shownName(arguments.operands[0]), shownName(arguments.operands[1]),
                                differences)
                    << '\n';
    } else {
        printHuman(differences, console.out);
    }
    return differences.identical ? kExitSuccess : kExitDifferent;
}

}  // namespace vardane::cli
