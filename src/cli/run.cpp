#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/texts.h"
#include "qt/qt_text.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <array>

namespace vardane::cli {
namespace {

using Command = int (*)(const QStringList&, Console&);

struct NamedCommand {
    std::string_view name;
    Command command;
};

constexpr std::array<NamedCommand, 8> kCommands{{
    {"info", runInfo},
    {"verify", runVerify},
    {"fix", runFix},
    {"diff", runDiff},
    {"set-mem", runSetMem},
    {"set-core", runSetCore},
    {"sba", runSba},
    {"header", runHeader},
}};

}  // namespace

int run(const QStringList& arguments, Console& console)
{
    QCommandLineParser parser;
    // Everything after the command's name belongs to the command's own parser.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help({"h", "help"}, qtText(kHelpOption));
    const QCommandLineOption version("version", qtText(kVersionOption));
    parser.addOption(help);
    parser.addOption(version);
    if (!parser.parse(arguments)) {
        // An unknown option here is most often a command's own, put before its name.
        const std::string unknown = unknownOptionsAsWritten(parser, arguments);
        return refuse(console, unknown.empty() ? std::string(kBadProgramArguments)
                                               : std::string(kArgumentsBeforeCommand) + unknown);
    }
    if (parser.isSet(help)) {
        console.out << kUsage;
        return kExitSuccess;
    }
    if (parser.isSet(version)) {
        console.out << QCoreApplication::applicationName().toStdString() << ' '
                    << QCoreApplication::applicationVersion().toStdString() << '\n';
        return kExitSuccess;
    }
    const QStringList commandLine = parser.positionalArguments();
    if (commandLine.isEmpty()) {
        return refuse(console, kMissingCommand);
    }
    for (const NamedCommand& named : kCommands) {
        if (commandLine.front() == qtText(named.name)) {
            return named.command(commandLine, console);
        }
    }
    return refuse(console, std::string(kUnknownCommand) + commandLine.front().toStdString());
}

}  // namespace vardane::cli
