#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/streams.h"
#include "cli/texts.h"
#include "cli/usage.h"
#include "system/system.h"
#include "version.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <iostream>

namespace vardane::cli {
namespace {

struct Command {
    CommandSyntax syntax;
    int (*body)(const CommandArguments&, Console&) = nullptr;
};

constexpr std::array<Command, 8> kCommands{{
    {{"info", "json", "IMAGE...", "montre ce que la fenêtre montre à l'ouverture"}, runInfo},
    {{"verify", {}, "IMAGE...", "vérifie le checksum (statut 1 s'il n'est pas valide)"}, runVerify},
    {{"fix", {}, "IMAGE...", "corrige le checksum (réécrit l'octet 0xBBFF)"}, runFix},
    {{"diff", "json", "IMAGE_A IMAGE_B", "ce qui diffère entre deux images (statut 1)"}, runDiff},
    {{"set-mem", "ouf", "MHZ IMAGE", "fréquence mémoire DDR (200..600, --ouf : 100..1000)"}, runSetMem},
    {{"set-core", "ouf", "MHZ IMAGE", "fréquence du core (75..350, --ouf : 20..450)"}, runSetCore},
    {{"sba", {}, "on|off IMAGE", "active ou désactive le SideBand Adressing"}, runSba},
    {{"header", {}, "TEXTE IMAGE", "réécrit l'entête du BIOS"}, runHeader},
}};

std::string usage()
{
    std::size_t width = 0;
    for (const Command& command : kCommands) {
        width = std::max(width, synopsis(command.syntax).size());
    }
    std::string text(kUsageTitle);
    for (const Command& command : kCommands) {
        std::string line = synopsis(command.syntax);
        line.resize(width, ' ');
        text +=
            "  " + std::string(kProgramName) + " " + line + "  " + std::string(command.syntax.summary) + "\n";
    }
    text += "  " + std::string(kProgramName) + " --help | --version\n";
    const SystemUsage system = systemUsage();
    for (const std::string_view part : {kUsageListStart, system.listLines, kUsageListEnd, system.shownNames,
                                        kUsageStatus, system.locks, kUsageLocksEnd}) {
        text += part;
    }
    return text;
}

int runCommand(std::span<const std::string> line, Console& console)
{
    const auto* command = std::find_if(kCommands.begin(), kCommands.end(),
                                       [&](const Command& c) { return c.syntax.name == line.front(); });
    if (command == kCommands.end()) {
        return refuse(console, std::string(kUnknownCommand) + line.front());
    }
    const auto parsed = parseCommand(line.subspan(1), command->syntax);
    if (const auto* reason = std::get_if<std::string>(&parsed)) {
        return refuse(console, *reason);
    }
    if (std::holds_alternative<HelpRequested>(parsed)) {
        console.out << usage();
        return kExitSuccess;
    }
    return command->body(std::get<CommandArguments>(parsed), console);
}

int runProgram(std::span<const std::string> arguments, Console& console)
{
    const auto parsed = parseProgram(arguments.empty() ? arguments : arguments.subspan(1));
    if (const auto* reason = std::get_if<std::string>(&parsed)) {
        return refuse(console, *reason);
    }
    const ProgramLine& line = std::get<ProgramLine>(parsed);
    switch (line.option) {
        case ProgramOption::help:
            console.out << usage();
            return kExitSuccess;
        case ProgramOption::version:
            console.out << kProgramName << ' ' << kVersion << '\n';
            return kExitSuccess;
        case ProgramOption::none:
            break;
    }
    return line.command.empty() ? refuse(console, kMissingCommand) : runCommand(line.command, console);
}

}  // namespace

int run(std::span<const std::string> arguments, Console& console)
{
    const int status = runProgram(arguments, console);
    // A result that never reached its reader is no success, as for the core
    // utilities; a broken pipe has already ended the process by its signal.
    return console.out.flush() ? status : refuse(console, kCannotWriteOutput);
}

int runOnStandardStreams(std::span<const std::string> arguments)
{
    if (!prepareStandardStreams()) {
        return kExitRefused;
    }
    Console console{stdin, std::cout, std::cerr, system::userDecimalSeparator(), {}};
    return run(arguments, console);
}

}  // namespace vardane::cli
