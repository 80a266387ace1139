#include "cli/command_line.h"

#include "cli/texts.h"
#include "qt/qt_text.h"

#include <QFile>

namespace vardane::cli {

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
    const std::string wrong = std::string(kWrongArguments) + std::string(syntax.usage);
    if (!parser.parse(arguments)) {
        if (!parser.unknownOptionNames().isEmpty()) {
            return std::string(kUnknownOption) + unknownOptionsAsWritten(parser, arguments);
        }
        return wrong;
    }
    if (parser.isSet(help)) {
        return HelpRequested{};
    }
    const qsizetype given = parser.positionalArguments().size();
    if (given < syntax.positionals || (!syntax.moreAllowed && given != syntax.positionals)) {
        return wrong;
    }
    return CommandArguments{flag && parser.isSet(*flag), parser.positionalArguments()};
}

std::filesystem::path imagePath(const QString& argument)
{
    return std::filesystem::path(QFile::encodeName(argument).toStdString());
}

}  // namespace vardane::cli
