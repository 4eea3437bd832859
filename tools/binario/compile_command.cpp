// binario compile and binario check: the reader and the compiler on any pair of description
// files, with every problem found in them.

#include <algorithm>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "authoring/diagnostics/diagnose.h"
#include "authoring/text/text.h"
#include "compiler/memorizza_percorso.h"
#include "compiler/route_files_in_folder.h"
#include "io/files.h"
#include "io/folder_lock.h"
#include "reader/error_codes.h"
#include "tools/binario/binario.h"
#include "tools/binario/commands.h"
#include "tools/binario/console.h"
#include "tools/binario/report.h"

namespace binario::tool {

namespace {

struct CompileRequest {
  bool write = true;  // compile writes the compiled files; check does not
  std::string line_file;
  std::string train_file;
  std::string line_name;
  std::string train_number;
  std::string out_dir = ".";
  bool no_plan = false;
  bool json = false;
  bool strict = false;
};

int compile(CompileRequest request, std::ostream& out, std::ostream& err) {
  Report report;
  auto fail = [&](int status, const std::string& code, const std::string& message) {
    report.extra.push_back(failure(code, message));
    request.json ? print_json(report, out) : print_text(report, out, err);
    return status;
  };
  if (!request.write) {
    names_from_files(request.line_file, request.train_file, request.line_name,
                     request.train_number);
  }

  std::unique_ptr<authoring::SourceText> line;
  std::unique_ptr<authoring::SourceText> train;
  try {
    line = read_description(request.line_file);
    train = read_description(request.train_file);
  } catch (const std::system_error& failure) {
    return fail(kIoFailure, "io", failure.what());
  }

  const std::string folder = folder_of(request.out_dir);
  auto path = [&](ScenarioFile file) {
    return file_name(folder, std::filesystem::path::preferred_separator, request.line_name,
                     request.train_number, file);
  };
  RouteFilesInFolder folder_files(path);
  NoRouteFiles nowhere;
  authoring::Diagnosis diagnosis;
  try {
    // The compiled files' folder, made when missing and locked as varelbo locks its own.
    std::optional<FolderLock> lock;
    if (request.write) {
      std::error_code error;
      std::filesystem::create_directories(request.out_dir, error);
      if (error) {
        throw std::system_error(error, "cannot create the folder " + request.out_dir);
      }
      lock.emplace(request.out_dir);
    }
    RouteFileSink& sink = request.write ? static_cast<RouteFileSink&>(folder_files) : nowhere;
    diagnosis =
        authoring::diagnose(*line, *train, stored_name(request.line_name),
                            stored_name(request.train_number), request.no_plan ? 0 : 1, sink);
  } catch (const std::system_error& failure) {
    report.files = folder_files.written;
    return fail(kIoFailure, "io", failure.what());
  }

  report.diagnosis = &diagnosis;
  report.line = line.get();
  report.train = train.get();
  report.files = folder_files.written;
  const std::string plan = path(ScenarioFile::kLinePlan);
  if (request.write && request.no_plan && std::filesystem::exists(plan)) {
    authoring::Diagnostic note = failure("older-plan-file", plan +
                                                                ", a line plan file of an "
                                                                "earlier compile, was left "
                                                                "as it was: --no-plan writes "
                                                                "none");
    note.severity = authoring::Severity::kNote;
    report.extra.push_back(std::move(note));
  }
  request.json ? print_json(report, out) : print_text(report, out, err);

  if (!diagnosis.outcome.errore.empty()) return kStampFailure;
  if (diagnosis.state.codice_errore != error_code::kNone) return kRecordedError;
  const bool any = !diagnosis.diagnostics.empty();
  return request.strict && any ? kRecordedError : kClean;
}

Command add_command(CLI::App& app, bool write) {
  auto request = std::make_shared<CompileRequest>();
  request->write = write;
  CLI::App* command =
      write ? app.add_subcommand(
                  "compile", "Compile a line description and a train description into route files")
            : app.add_subcommand("check",
                                 "Read a line description and a train description and report "
                                 "every problem, writing nothing");
  command->footer(
      std::string(write ? "Reads the two description files, never changing them, and writes "
                          "into the output folder\nNAME_linea.dat (unless --no-plan), "
                          "NAME_NUMBER.sim and NAME_NUMBER.dat, creating the folder when "
                          "missing.\n"
                        : "Without --line-name and --train-number the names come from the file "
                          "names\n(NAME_linea.txt, NAME_NUMBER-.txt).\n") +
      "Problems go to standard error as FILE:LINE:COLUMN: error|warning: MESSAGE.\n\n" +
      kExitStatuses);
  command->add_option("LINE_FILE", request->line_file, "the line description")->required();
  command->add_option("TRAIN_FILE", request->train_file, "the train description")->required();
  CLI::Option* line_name =
      command->add_option("--line-name", request->line_name, "the line's identifier, as in Varelbo")
          ->check(check_name);
  CLI::Option* train_number =
      command->add_option("--train-number", request->train_number, "the train's number, as in 3874")
          ->check(check_name);
  if (write) {
    line_name->required();
    train_number->required();
    command->add_option("--out", request->out_dir,
                        "the folder for the compiled files (default: the current one)");
  }
  command->add_flag("--no-plan", request->no_plan, "read no curves and write no line plan file");
  command->add_flag("--strict", request->strict,
                    "any warning makes the exit status that of an error (1)");
  command->add_flag("--json", request->json,
                    "print one JSON object with the outcome instead of words");
  return {command,
          [request](std::ostream& out, std::ostream& err) { return compile(*request, out, err); }};
}

}  // namespace

std::unique_ptr<authoring::SourceText> read_description(const std::string& path) {
  std::optional<std::string> bytes = read_file_if_exists(path);
  if (!bytes) {
    throw std::system_error(std::make_error_code(std::errc::no_such_file_or_directory),
                            "cannot read " + path);
  }
  return std::make_unique<authoring::SourceText>(path, *std::move(bytes));
}

void names_from_files(const std::string& line_file, const std::string& train_file,
                      std::string& line_name, std::string& train_number) {
  const std::string line = std::filesystem::path(line_file).filename().string();
  const std::string train = std::filesystem::path(train_file).filename().string();
  if (line_name.empty()) {
    const std::string tail = "_linea.txt";
    line_name = line.size() > tail.size() && line.ends_with(tail)
                    ? line.substr(0, line.size() - tail.size())
                    : "";
    if (!check_name(line_name).empty()) line_name = "Linea";
  }
  if (train_number.empty()) {
    const std::string head = line_name + "_";
    train_number =
        train.starts_with(head) && train.ends_with("-.txt") && train.size() > head.size() + 5
            ? train.substr(head.size(), train.size() - head.size() - 5)
            : "";
    if (!check_name(train_number).empty()) train_number = "1";
  }
}

// The folder as given, without the separators it may end with, so that names joined to it
// have one; the root stays the root.
std::string folder_of(std::string folder) {
  auto separator = [](char c) {
    return c == '/' || c == static_cast<char>(std::filesystem::path::preferred_separator);
  };
  while (folder.size() > 1 && separator(folder.back())) folder.pop_back();
  if (folder.size() == 1 && separator(folder[0])) folder.clear();
  return folder;
}

std::string check_name(const std::string& argument) {
  if (argument.empty()) return "must not be empty";
  const std::string name = argument_as_utf8(argument);
  if (name.find_first_of(std::string("/\\\0", 3)) != std::string::npos) {
    return "must not contain '/', '\\' or NUL";
  }
  if (name.size() > 200) return "must be at most 200 bytes long";
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t length = std::max<std::size_t>(authoring::utf8_sequence(name.substr(i)), 1);
    const std::string character = name.substr(i, length);
    if (length == 1 && static_cast<unsigned char>(character[0]) >= 0x80) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      const auto byte = static_cast<unsigned char>(character[0]);
      return "is not UTF-8 text: byte " + std::to_string(i + 1) + ", 0x" + kHex[byte >> 4] +
             kHex[byte & 0xF] + ", begins no UTF-8 character; give the name as UTF-8";
    }
    if (!authoring::utf8_to_windows_1252(character)) {
      return "holds '" + character +
             "', a character the compiled files cannot hold: they keep every text in "
             "Windows-1252, one byte a character";
    }
    i += length;
  }
  return "";
}

std::string stored_name(const std::string& name) {
  return authoring::utf8_to_windows_1252(argument_as_utf8(name)).value_or(name);
}

Command add_compile_command(CLI::App& app) { return add_command(app, true); }
Command add_check_command(CLI::App& app) { return add_command(app, false); }

}  // namespace binario::tool
