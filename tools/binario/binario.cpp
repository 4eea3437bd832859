#include "tools/binario/binario.h"

#include <ostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "tools/binario/commands.h"

namespace binario::tool {

const char* const kExitStatuses =
    "Exit status:\n"
    "  0  compiled, no error recorded\n"
    "  1  an error was recorded; the compiled files were written all the same\n"
    "  2  a stamp check failed (1250 or 1251); no compiled file was written\n"
    "  3  usage error\n"
    "  4  a file could not be read or written\n"
    "  5  any other failure of the system, such as memory running out";

int run(int argc, const char* const argv[], std::ostream& out, std::ostream& err) {
  CLI::App app("Compiles scenario description files into the route files the simulator loads.",
               "binario");
  app.footer(kExitStatuses);
  app.require_subcommand(1);
  const std::vector<Command> commands = {add_compile_command(app), add_dump_command(app),
                                         add_diff_command(app)};

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error, out, err);
    return status == 0 ? kClean : kUsageError;
  }
  for (const Command& command : commands) {
    if (command.app->parsed()) return command.run(out, err);
  }
  return kUsageError;
}

}  // namespace binario::tool
