// binario view: the route sheet, a page that draws the route's plan and profile and tells what
// it holds at any metre, or the same drawings as one SVG.

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "authoring/sheet/route_sheet.h"
#include "io/files.h"
#include "tools/binario/binario.h"
#include "tools/binario/commands.h"
#include "tools/binario/report.h"
#include "tools/binario/route_source.h"

namespace binario::tool {

namespace {

const char* const kViewExitStatuses =
    "Exit status:\n"
    "  0  the sheet was written\n"
    "  1  from description files: the compile step recorded an error; the sheet was written all\n"
    "     the same, with what was compiled (nothing, when the reading made no track)\n"
    "  2  from description files: a stamp check failed (1250 or 1251); nothing was compiled\n"
    "     and nothing written\n"
    "  3  usage error\n"
    "  4  a file could not be read or written, or is not a compiled route file\n"
    "  5  any other failure of the system, such as memory running out";

struct ViewRequest {
  std::vector<std::string> descriptions;
  std::string folder;
  std::string line_name;
  std::string train_number;
  std::string output;
  bool svg = false;
  bool json = false;
};

int view(const ViewRequest& request, std::ostream& out, std::ostream& err) {
  if (request.descriptions.empty() == request.folder.empty()) {
    return report_failure(request.json, kUsageError,
                          "view: name one route: description files LINE_FILE TRAIN_FILE, or a "
                          "folder of compiled files with --route",
                          out, err);
  }
  LoadedRoute loaded;
  try {
    loaded = request.folder.empty()
                 ? compile_route(request.descriptions[0], request.descriptions[1],
                                 request.line_name, request.train_number, false)
                 : load_route_folder(request.folder, request.line_name, request.train_number);
  } catch (const RouteSourceFailure& failure) {
    return report_failure(request.json, failure.status, failure.what(), out, err);
  }
  // The sheet never takes the place of a file it was made from.
  std::vector<std::string> read = request.descriptions;
  for (const auto* label : {&loaded.labels.plan, &loaded.labels.data, &loaded.labels.track}) {
    if (*label && request.descriptions.empty()) read.push_back((*label)->name);
  }
  for (const std::string& path : read) {
    std::error_code error;
    if (std::filesystem::equivalent(request.output, path, error)) {
      return report_failure(request.json, kUsageError,
                            "view: " + request.output + " is " + path +
                                ", a file the sheet is made from; name another output file",
                            out, err);
    }
  }

  authoring::SheetInput input;
  input.route = &loaded.route;
  input.title = request.line_name + ", train " + request.train_number;
  input.origin = loaded.origin;
  if (loaded.diagnosis) {
    input.notes = authoring::cell_notes(loaded.diagnosis->sources);
    input.problems = authoring::sheet_problems(*loaded.diagnosis, *loaded.line, *loaded.train);
    input.checked = true;
  }
  try {
    replace_file(request.output, request.svg ? authoring::route_sheet_svg(input)
                                             : authoring::route_sheet_html(input));
  } catch (const std::system_error& failure) {
    return report_failure(request.json, kIoFailure, failure.what(), out, err);
  }
  if (request.json) {
    Report report;
    report.diagnosis = loaded.diagnosis.get();
    report.line = loaded.line.get();
    report.train = loaded.train.get();
    report.files = {request.output};
    print_json(report, out);
  } else {
    if (loaded.recorded_error) err << "binario: " << *loaded.recorded_error << "\n";
    out << request.output << "\n";
  }
  return loaded.recorded_error ? kRecordedError : kClean;
}

}  // namespace

Command add_view_command(CLI::App& app) {
  auto request = std::make_shared<ViewRequest>();
  CLI::App* command = app.add_subcommand("view", "Draw a route: its plan and its profile");
  command->footer(
      std::string(
          "Writes the route sheet: one HTML file that any browser opens, with nothing to "
          "fetch.\nIt draws the plan of the track with its stations, signals and boards, and "
          "below it\nthe elevation profile built from the gradients, coloured by gradient, "
          "with the line\nspeed and lanes of stations, signals, slowdowns, boards and speed "
          "check points. The\nwheel zooms along the route, a drag pans; the pointer on either "
          "drawing marks the\nsame metre on the other and shows what the route holds there. "
          "From description files\n(compiled in memory, writing nothing else) it also marks "
          "what binario check finds, and\nnames the record behind each cell. --svg writes the "
          "two drawings as one static SVG.\n\n") +
      kViewExitStatuses);
  command
      ->add_option("LINE_FILE TRAIN_FILE", request->descriptions, "the line and train descriptions")
      ->expected(2);
  command->add_option("--route", request->folder, "a folder of compiled route files instead");
  command->add_option("--line-name", request->line_name, "the line's identifier, as in Varelbo")
      ->required()
      ->check(check_name);
  command->add_option("--train-number", request->train_number, "the train's number, as in 3874")
      ->required()
      ->check(check_name);
  command->add_option("-o,--output", request->output, "the file to write (route.html)")->required();
  command->add_flag("--svg", request->svg, "write the two drawings as one static SVG");
  command->add_flag("--json", request->json,
                    "print one JSON object instead of words: the file written and what binario "
                    "check tells");
  return {command,
          [request](std::ostream& out, std::ostream& err) { return view(*request, out, err); }};
}

}  // namespace binario::tool
