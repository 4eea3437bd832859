// binario new: a small, valid, commented pair of description files to start a route from.

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <system_error>

#include "authoring/starter/starter.h"
#include "io/files.h"
#include "scenario/file_names.h"
#include "tools/binario/binario.h"
#include "tools/binario/commands.h"
#include "tools/binario/report.h"

namespace binario::tool {

namespace {

struct NewRequest {
  std::string line_name;
  std::string train_number;
  std::string out_dir = ".";
  bool json = false;
};

int write_starter(const NewRequest& request, std::ostream& out, std::ostream& err) {
  Report report;
  auto finish = [&](int status) {
    request.json ? print_json(report, out) : print_text(report, out, err);
    return status;
  };
  const std::string folder = folder_of(request.out_dir);
  auto name = [&](ScenarioFile file) {
    return file_name(folder, std::filesystem::path::preferred_separator, request.line_name,
                     request.train_number, file);
  };
  const std::string line = name(ScenarioFile::kLineDescription);
  const std::string train = name(ScenarioFile::kTrainDescription);
  // An author's own files are never replaced.
  for (const std::string& path : {line, train}) {
    if (std::filesystem::exists(path)) {
      report.extra.push_back(failure("io", path + " is there already: binario new never replaces "
                                                  "a file"));
      return finish(kIoFailure);
    }
  }
  try {
    std::error_code error;
    std::filesystem::create_directories(request.out_dir, error);
    if (error) throw std::system_error(error, "cannot create the folder " + request.out_dir);
    replace_file(line, authoring::starter_line_description());
    report.files.push_back(line);
    replace_file(train, authoring::starter_train_description(stored_name(request.train_number)));
    report.files.push_back(train);
  } catch (const std::system_error& failure_of_file) {
    report.extra.push_back(failure("io", failure_of_file.what()));
    return finish(kIoFailure);
  }
  return finish(kClean);
}

}  // namespace

Command add_new_command(CLI::App& app) {
  auto request = std::make_shared<NewRequest>();
  CLI::App* command = app.add_subcommand(
      "new", "Write a small, commented pair of description files to start a route from");
  command->footer(std::string("Writes NAME_linea.txt and NAME_NUMBER-.txt into the folder: a line "
                              "of 8 km with one record\nof each kind and one train on it, each "
                              "record explained by a comment line. They compile\nwithout a "
                              "warning. An existing file is never replaced.\n\n") +
                  kExitStatuses);
  command->add_option("NAME", request->line_name, "the line's identifier, as in Varelbo")
      ->required()
      ->check(check_name);
  command->add_option("--train-number", request->train_number, "the train's number, as in 3874")
      ->required()
      ->check(check_name);
  command->add_option("--out", request->out_dir,
                      "the folder for the two files (default: the current one)");
  command->add_flag("--json", request->json,
                    "print one JSON object with the outcome instead of words");
  return {command, [request](std::ostream& out, std::ostream& err) {
            return write_starter(*request, out, err);
          }};
}

}  // namespace binario::tool
