#include "tools/binario/binario.h"

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "tools/binario/commands.h"
#include "tools/binario/report.h"

namespace binario::tool {

const char* const kExitStatuses =
    "Exit status:\n"
    "  0  no error recorded (with --strict: and no warning)\n"
    "  1  an error was recorded (with --strict: or a warning); the files listed as written\n"
    "     were written all the same\n"
    "  2  a stamp check failed (1250 or 1251); no compiled file was written\n"
    "  3  usage error\n"
    "  4  a file could not be read or written\n"
    "  5  any other failure of the system, such as memory running out";

int run(int argc, const char* const argv[], std::ostream& out, std::ostream& err) {
  CLI::App app("The authoring tool for the simulator's routes: compiles, checks and shows them.",
               "binario");
  // On Windows too, a path that begins with '/' is a path, not an option.
  app.allow_windows_style_options(false);
  app.set_version_flag("--version", std::string("binario ") + BINARIO_VERSION);
  app.footer(kExitStatuses);
  app.require_subcommand(1);
  const std::vector<Command> commands = {add_compile_command(app), add_check_command(app),
                                         add_new_command(app),     add_dump_command(app),
                                         add_diff_command(app),    add_view_command(app),
                                         add_explain_command(app)};

  const std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
  const bool json = std::find(arguments.begin(), arguments.end(), "--json") != arguments.end();
  auto usage_error = [&](const std::string& message) {
    if (json) {
      Report report;
      report.extra.push_back(failure("usage", message));
      print_json(report, out);
    } else {
      err << "binario: " << message << "\n";
    }
    return kUsageError;
  };
  std::string names;
  for (const Command& command : commands) {
    names += (names.empty() ? "" : ", ") + command.app->get_name();
  }
  const bool known = std::any_of(commands.begin(), commands.end(), [&](const Command& command) {
    return !arguments.empty() && command.app->get_name() == arguments.front();
  });
  if (!arguments.empty() && !arguments.front().starts_with("-") && !known) {
    return usage_error("unknown command '" + arguments.front() + "'; the commands are " + names +
                       " (binario --help tells more)");
  }

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help, out, err) == 0 ? kClean : kUsageError;
  } catch (const CLI::CallForVersion& version) {
    return app.exit(version, out, err) == 0 ? kClean : kUsageError;
  } catch (const CLI::ParseError& error) {
    if (!json) {
      const int status = app.exit(error, out, err);
      return status == 0 ? kClean : kUsageError;
    }
    return usage_error(error.what());
  }
  for (const Command& command : commands) {
    if (command.app->parsed()) return command.run(out, err);
  }
  return kUsageError;
}

}  // namespace binario::tool
