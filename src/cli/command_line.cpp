#include "cli/command_line.h"

#include "cli/console.h"
#include "cli/texts.h"

#include <algorithm>
#include <optional>

namespace vardane::cli {
namespace {

constexpr std::string_view kEndOfOptions = "--";
constexpr std::string_view kMore = "...";

// The name of an option as written ("--json" and "-json" both give "json"),
// or none for an operand; "-" alone is an operand, the standard input.
std::optional<std::string_view> optionName(std::string_view argument)
{
    if (argument.size() < 2 || argument.front() != '-') {
        return std::nullopt;
    }
    argument.remove_prefix(argument.starts_with(kEndOfOptions) ? 2 : 1);
    return argument;
}

// As vardane takes them too.
bool isHelp(std::string_view name)
{
    return name == "h" || name == "help";
}

bool isVersion(std::string_view name)
{
    return name == "v" || name == "version";
}

bool operandsFit(std::size_t given, std::string_view operands)
{
    const auto named = static_cast<std::size_t>(std::count(operands.begin(), operands.end(), ' ') + 1);
    return operands.ends_with(kMore) ? given >= named : given == named;
}

}  // namespace

std::string synopsis(const CommandSyntax& syntax)
{
    std::string text(syntax.name);
    if (!syntax.flag.empty()) {
        text += " [--" + std::string(syntax.flag) + "]";
    }
    return text + " " + std::string(syntax.operands);
}

std::variant<CommandArguments, HelpRequested, std::string> parseCommand(
    std::span<const std::string> arguments, const CommandSyntax& syntax)
{
    CommandArguments parsed;
    bool help = false;
    bool optionsEnded = false;
    std::vector<std::string> unknown;
    for (const std::string& argument : arguments) {
        const auto name = optionsEnded ? std::nullopt : optionName(argument);
        if (!optionsEnded && argument == kEndOfOptions) {
            optionsEnded = true;
        } else if (!name) {
            parsed.operands.push_back(argument);
        } else if (isHelp(*name)) {
            help = true;
        } else if (!syntax.flag.empty() && *name == syntax.flag) {
            parsed.flag = true;
        } else {
            unknown.push_back(argument);
        }
    }
    if (!unknown.empty()) {
        return std::string(kUnknownOption) + joined(unknown);
    }
    if (help) {
        return HelpRequested{};
    }
    if (!operandsFit(parsed.operands.size(), syntax.operands)) {
        return std::string(kWrongArguments) + synopsis(syntax);
    }
    return parsed;
}

std::variant<ProgramLine, std::string> parseProgram(std::span<const std::string> arguments)
{
    ProgramLine line;
    std::vector<std::string> unknown;
    std::size_t next = 0;
    for (; next < arguments.size(); ++next) {
        if (arguments[next] == kEndOfOptions) {
            ++next;
            break;
        }
        const auto name = optionName(arguments[next]);
        if (!name) {
            break;
        }
        if (isHelp(*name)) {
            line.option = ProgramOption::help;
        } else if (isVersion(*name) && line.option == ProgramOption::none) {
            line.option = ProgramOption::version;
        } else if (!isVersion(*name)) {
            // Most often a command's own option, put before its name.
            unknown.push_back(arguments[next]);
        }
    }
    if (!unknown.empty()) {
        return std::string(kOptionsBeforeCommand) + joined(unknown);
    }
    line.command = arguments.subspan(next);
    return line;
}

}  // namespace vardane::cli
