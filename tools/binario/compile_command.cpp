// binario compile: the reader and the compiler on any pair of description files.

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include <nlohmann/json.hpp>

#include "authoring/messages.h"
#include "compiler/memorizza_percorso.h"
#include "io/files.h"
#include "io/folder_lock.h"
#include "reader/error_codes.h"
#include "tools/binario/binario.h"
#include "tools/binario/commands.h"

namespace binario::tool {

namespace {

struct CompileRequest {
  std::string line_file;
  std::string train_file;
  std::string line_name;
  std::string train_number;
  std::string out_dir = ".";
  bool no_plan = false;
  bool json = false;
};

// The description files as given: read once, never changed or deleted.
class GivenDescriptionFiles final : public DescriptionFiles {
 public:
  GivenDescriptionFiles(std::string line, std::string train)
      : line_(std::move(line)), train_(std::move(train)) {}
  std::optional<std::string> open(DescriptionFile file) override {
    return file == DescriptionFile::kLine ? line_ : train_;
  }
  void done(DescriptionFile) override {}

 private:
  std::string line_;
  std::string train_;
};

// The compiled route files, in the output folder, named by the scenario's rule.
class FolderRouteFiles final : public RouteFileSink {
 public:
  FolderRouteFiles(const CompileRequest& request) : request_(request) {}
  void write(ScenarioFile file, std::string_view bytes) override {
    const std::string name = file_name(request_.out_dir, std::filesystem::path::preferred_separator,
                                       request_.line_name, request_.train_number, file);
    replace_file(name, bytes);
    written.push_back(name);
  }
  std::vector<std::string> written;

 private:
  const CompileRequest& request_;
};

std::string read_description(const std::string& path) {
  std::optional<std::string> bytes = read_file_if_exists(path);
  if (!bytes) {
    throw std::system_error(std::make_error_code(std::errc::no_such_file_or_directory),
                            "cannot read " + path);
  }
  return *std::move(bytes);
}

// A scenario name goes into file names: it must name a file in the output folder, not a path.
std::string check_name(const std::string& name) {
  if (name.find_first_of(std::string("/\\\0", 3)) != std::string::npos) {
    return "must not contain '/', '\\' or NUL";
  }
  if (name.size() > 200) return "must be at most 200 bytes long";
  return "";
}

int compile(const CompileRequest& request, std::ostream& out, std::ostream& err) {
  RunState state;
  state.nome_linea = request.line_name;
  state.numero_treno = request.train_number;
  FolderRouteFiles route_files(request);
  CompileOutcome outcome;
  try {
    const FolderLock lock(request.out_dir);  // as varelbo does in its folder
    GivenDescriptionFiles descriptions(read_description(request.line_file),
                                       read_description(request.train_file));
    outcome = memorizza_percorso(state, request.no_plan ? 0 : 1, descriptions, route_files);
  } catch (const std::system_error& failure) {
    err << "binario: " << failure.what() << "\n";
    return kIoFailure;
  }

  if (request.json) {
    nlohmann::ordered_json report = {
        {"codice_errore", state.codice_errore},
        {"posizione_errore", state.posizione_errore},
        {"errore", outcome.errore.empty() ? nlohmann::ordered_json()
                                          : nlohmann::ordered_json(outcome.errore)},
        {"files", route_files.written},
    };
    // File names are bytes; whatever is not UTF-8 is shown as a replacement character.
    out << report.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
  } else {
    if (!outcome.errore.empty()) {
      err << "binario: error " << outcome.errore << ": "
          << authoring::meaning(std::stoi(outcome.errore)) << "; no compiled file was written\n";
    }
    if (state.codice_errore != error_code::kNone) {
      err << "binario: error " << state.codice_errore;
      if (authoring::has_position(state.codice_errore))
        err << " at " << state.posizione_errore << " m";
      err << ": " << authoring::meaning(state.codice_errore);
      if (!outcome.read_failure.empty()) err << " (" << outcome.read_failure << ")";
      err << "\n";
    }
    for (const std::string& name : route_files.written) out << "wrote " << name << "\n";
  }
  if (!outcome.errore.empty()) return kStampFailure;
  return state.codice_errore == error_code::kNone ? kClean : kRecordedError;
}

}  // namespace

Command add_compile_command(CLI::App& app) {
  auto request = std::make_shared<CompileRequest>();
  CLI::App* command = app.add_subcommand(
      "compile", "Compile a line description and a train description into route files");
  command->footer(std::string("Reads the two description files, never changing them, and writes "
                              "into the output folder\nNAME_linea.dat (unless --no-plan), "
                              "NAME_NUMBER.sim and NAME_NUMBER.dat.\n\n") +
                  kExitStatuses);
  command->add_option("LINE_FILE", request->line_file, "the line description")->required();
  command->add_option("TRAIN_FILE", request->train_file, "the train description")->required();
  command->add_option("--line-name", request->line_name, "the line's identifier, as in Varelbo")
      ->required()
      ->check(check_name);
  command->add_option("--train-number", request->train_number, "the train's number, as in 3874")
      ->required()
      ->check(check_name);
  command->add_option("--out", request->out_dir,
                      "the folder for the compiled files (default: the current one)");
  command->add_flag("--no-plan", request->no_plan, "read no curves and write no line plan file");
  command->add_flag("--json", request->json,
                    "print one JSON object with the outcome instead of words");
  return {command,
          [request](std::ostream& out, std::ostream& err) { return compile(*request, out, err); }};
}

}  // namespace binario::tool
