// The command line as main receives it: bytes, never decoded. Each command
// states its syntax once; its parsing, its refusals and the usage derive
// from that.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vardane::cli {

struct CommandSyntax {
    std::string_view name;      // "set-mem"
    std::string_view flag;      // "ouf" for --ouf; empty when the command has none
    std::string_view operands;  // "MHZ IMAGE"; a last operand ending "..." takes one or more
    std::string_view summary;   // what the usage says of it
};

// "set-mem [--ouf] MHZ IMAGE".
[[nodiscard]] std::string synopsis(const CommandSyntax& syntax);

struct CommandArguments {
    bool flag = false;
    std::vector<std::string> operands;
};

struct HelpRequested {};

// The arguments after the command's name. The flag may come before or after
// the operands, "--" ends the options, and -x reads as --x. A string is the
// refusal's reason.
[[nodiscard]] std::variant<CommandArguments, HelpRequested, std::string> parseCommand(
    std::span<const std::string> arguments, const CommandSyntax& syntax);

enum class ProgramOption { none, help, version };

struct ProgramLine {
    ProgramOption option = ProgramOption::none;
    std::span<const std::string> command;  // the command's name and its arguments
};

// The arguments after the program's name: its own options, then the command.
// A string is the refusal's reason.
[[nodiscard]] std::variant<ProgramLine, std::string> parseProgram(std::span<const std::string> arguments);

}  // namespace vardane::cli
