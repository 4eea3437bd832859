#ifndef BINARIO_TOOLS_BINARIO_COMMANDS_H_
#define BINARIO_TOOLS_BINARIO_COMMANDS_H_

// binario's commands. Each adds its subcommand and options to the application and gives what
// runs it once the command line is parsed.

#include <functional>
#include <iosfwd>

#include <CLI/CLI.hpp>

namespace binario::tool {

struct Command {
  CLI::App* app;
  // Runs the command; gives the exit status (tools/binario/binario.h).
  std::function<int(std::ostream& out, std::ostream& err)> run;
};

// The footer every command's help ends with.
extern const char* const kExitStatuses;

Command add_compile_command(CLI::App& app);
Command add_check_command(CLI::App& app);
Command add_dump_command(CLI::App& app);
Command add_diff_command(CLI::App& app);
Command add_view_command(CLI::App& app);

}  // namespace binario::tool

#endif  // BINARIO_TOOLS_BINARIO_COMMANDS_H_
