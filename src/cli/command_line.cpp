#include "cli/command_line.h"

#include "cli/texts.h"
#include "qt/qt_text.h"

#include <QCommandLineParser>
#include <QFile>

namespace vardane::cli {
namespace {

}  // namespace

std::string unknownOptionsAsWritten(const QCommandLineParser& parser, const QStringList& arguments)
{
    std::string written;
    const QStringList names = parser.unknownOptionNames();
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString option = arguments.contains("-" + names[i]) ? "-" + names[i] : "--" + names[i];
        written += (i == 0 ? "" : ", ") + option.toStdString();
    }
    return written;
}

std::variant<CommandArguments, HelpRequested, std::string> parseCommand(const QStringList& arguments,
                                                                        const CommandSyntax& syntax)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({"h", "help"}, qtText(kHelpOption));
    parser.addOption(help);
    std::optional<QCommandLineOption> flag;
    if (syntax.flag) {
        flag.emplace(qtText(*syntax.flag), qtText(syntax.flagDescription));
        parser.addOption(*flag);
    }
    if (!parser.parse(arguments)) {
        if (!parser.unknownOptionNames().isEmpty()) {
            return std::string(kUnknownOption) + unknownOptionsAsWritten(parser, arguments);
        }
        return std::string(kWrongArguments) + std::string(syntax.usage);
    }
    if (parser.isSet(help)) {
        return HelpRequested{};
    }
    if (parser.positionalArguments().size() != syntax.positionals) {
        return std::string(kWrongArguments) + std::string(syntax.usage);
    }
    return CommandArguments{flag && parser.isSet(*flag), parser.positionalArguments()};
}

std::filesystem::path imagePath(const QString& argument)
{
    return std::filesystem::path(QFile::encodeName(argument).toStdString());
}

}  // namespace vardane::cli
