// The arguments of one command, after its name: at most one flag and a fixed
// number of positionals (or, for the commands that take several images, at
// least one), checked by QCommandLineParser.
#pragma once

#include "cli/console.h"
#include "cli/texts.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vardane::cli {

struct CommandSyntax {
    std::string_view usage;  // as shown in a refusal, e.g. "set-mem [--ouf] MHZ IMAGE"
    std::optional<std::string_view> flag;
    std::string_view flagDescription;
    int positionals;
    bool moreAllowed = false;  // IMAGE...: positionals is then the least
};

struct CommandArguments {
    bool flag = false;
    QStringList positionals;
};

struct HelpRequested {};

// `arguments` starts with the command's name, as argv starts with the program's.
// A string is the refusal's reason.
[[nodiscard]] std::variant<CommandArguments, HelpRequested, std::string> parseCommand(
    const QStringList& arguments, const CommandSyntax& syntax);

// Runs `body` with the parsed arguments; answers --help with the usage and
// refuses arguments that do not fit.
template <typename Body>
[[nodiscard]] int withArguments(const QStringList& arguments, const CommandSyntax& syntax, Console& console,
                                Body body)
{
    const auto parsed = parseCommand(arguments, syntax);
    if (const auto* reason = std::get_if<std::string>(&parsed)) {
        return refuse(console, *reason);
    }
    if (std::holds_alternative<HelpRequested>(parsed)) {
        console.out << kUsage;
        return kExitSuccess;
    }
    return body(std::get<CommandArguments>(parsed), console);
}

// The options the parser did not know, as the user wrote them ("--json, -v"),
// so that a refusal names them in our words rather than in Qt's English.
[[nodiscard]] std::string unknownOptionsAsWritten(const QCommandLineParser& parser,
                                                  const QStringList& arguments);

// The path as the system spells it, from an argument decoded by Qt.
[[nodiscard]] std::filesystem::path imagePath(const QString& argument);

}  // namespace vardane::cli
