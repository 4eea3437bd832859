#ifndef BINARIO_TOOLS_BINARIO_COMMANDS_H_
#define BINARIO_TOOLS_BINARIO_COMMANDS_H_

// binario's commands. Each adds its subcommand and options to the application and gives what
// runs it once the command line is parsed.

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include <CLI/CLI.hpp>

#include "authoring/text/source.h"

namespace binario::tool {

struct Command {
  CLI::App* app;
  // Runs the command; gives the exit status (tools/binario/binario.h).
  std::function<int(std::ostream& out, std::ostream& err)> run;
};

// The footer every command's help ends with.
extern const char* const kExitStatuses;

// "" when `name`, an argument as the command line gives it (console.h), may name a scenario,
// else what is wrong with it: a name must name a file in the folder, not a path, and the
// compiled files must be able to hold it, one Windows-1252 byte a character.
std::string check_name(const std::string& name);

// `name`, which check_name took, as the compiled files store it and the competition codes are
// computed from: Windows-1252. File names on disk keep `name` as it is.
std::string stored_name(const std::string& name);

// The folder as given, without the separators it may end with, so that names joined to it have
// one; the root stays the root.
std::string folder_of(std::string folder);

// The description file at `path`; a std::system_error when it cannot be read.
std::unique_ptr<authoring::SourceText> read_description(const std::string& path);

// The scenario's names, where `line_name` or `train_number` is empty, as the description files'
// own names give them (NAME_linea.txt, NAME_NUMBER-.txt), or stand-ins where they give none a
// scenario can have.
void names_from_files(const std::string& line_file, const std::string& train_file,
                      std::string& line_name, std::string& train_number);

Command add_compile_command(CLI::App& app);
Command add_check_command(CLI::App& app);
Command add_new_command(CLI::App& app);
Command add_dump_command(CLI::App& app);
Command add_diff_command(CLI::App& app);
Command add_view_command(CLI::App& app);
Command add_explain_command(CLI::App& app);

}  // namespace binario::tool

#endif  // BINARIO_TOOLS_BINARIO_COMMANDS_H_
