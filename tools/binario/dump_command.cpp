// binario dump: a compiled route in words, or in JSON under the model's field names.

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "authoring/route/route_dump.h"
#include "tools/binario/binario.h"
#include "tools/binario/commands.h"
#include "tools/binario/report.h"
#include "tools/binario/route_json.h"
#include "tools/binario/route_source.h"

namespace binario::tool {

namespace {

const char* const kDumpExitStatuses =
    "Exit status:\n"
    "  0  the route was shown\n"
    "  1  with --from: the compile step recorded an error; the route was shown all the same\n"
    "  2  with --from: a stamp check failed (1250 or 1251); nothing was compiled\n"
    "  3  usage error\n"
    "  4  a file could not be read, or is not a compiled route file\n"
    "  5  any other failure of the system, such as memory running out";

struct DumpRequest {
  std::string folder;
  std::string line_name;
  std::string train_number;
  std::optional<std::string> plan;
  std::optional<std::string> data;
  std::optional<std::string> track;
  std::vector<std::string> from;
  std::string cells;
  std::string metres;
  bool json = false;
  bool no_plan = false;
};

// The notes printed beside each cell: with description files, the record behind each part of
// it, or the compile step that placed it.
authoring::CellNotes cell_notes(const LoadedRoute& loaded) {
  return loaded.diagnosis ? authoring::cell_notes(loaded.diagnosis->sources)
                          : authoring::CellNotes{};
}

// The part of the route asked for; nothing when the request is wrong.
std::optional<authoring::RouteRange> requested_range(const DumpRequest& request) {
  std::int64_t a = 0;
  std::int64_t b = 0;
  if (!request.cells.empty()) {
    if (!parse_span(request.cells, a, b)) return std::nullopt;
    return authoring::cell_range(a, b);
  }
  if (!request.metres.empty()) {
    if (!parse_span(request.metres, a, b)) return std::nullopt;
    return authoring::metre_range(a, b);
  }
  return authoring::RouteRange{};
}

int dump(const DumpRequest& request, std::ostream& out, std::ostream& err) {
  const bool files = request.plan || request.data || request.track;
  const int sources =
      (request.folder.empty() ? 0 : 1) + (files ? 1 : 0) + (request.from.empty() ? 0 : 1);
  if (sources != 1) {
    return report_failure(
        request.json, kUsageError,
        "dump: name one route: a folder, files with --plan, --data or --track, or "
        "description files with --from",
        out, err);
  }
  if (!files && (request.line_name.empty() || request.train_number.empty())) {
    return report_failure(request.json, kUsageError,
                          "dump: a folder or --from needs --line-name and --train-number", out,
                          err);
  }
  const std::optional<authoring::RouteRange> range = requested_range(request);
  if (!range) {
    return report_failure(request.json, kUsageError,
                          std::string("dump: ") + (request.cells.empty() ? "--metres" : "--cells") +
                              " takes A-B, two whole numbers with A not above B",
                          out, err);
  }

  LoadedRoute loaded;
  try {
    if (!request.from.empty()) {
      loaded = compile_route(request.from[0], request.from[1], request.line_name,
                             request.train_number, request.no_plan);
    } else if (files) {
      loaded = load_route_files(request.plan, request.data, request.track);
    } else {
      loaded = load_route_folder(request.folder, request.line_name, request.train_number);
    }
  } catch (const RouteSourceFailure& failure) {
    return report_failure(request.json, failure.status, failure.what(), out, err);
  }
  if (loaded.recorded_error) err << "binario: " << *loaded.recorded_error << "\n";

  const authoring::CellNotes notes = cell_notes(loaded);
  if (request.json) {
    nlohmann::ordered_json dump = dump_json(loaded.route, loaded.labels, *range, notes);
    if (loaded.diagnosis) {
      // Compiled from descriptions: what binario check tells of them, as check prints it.
      Report report;
      report.diagnosis = loaded.diagnosis.get();
      report.line = loaded.line.get();
      report.train = loaded.train.get();
      dump["diagnostics"] = diagnostics_json(report);
    }
    out << json_line(dump);
  } else {
    out << authoring::dump_text(loaded.route, loaded.labels, *range, notes);
  }
  return loaded.recorded_error ? kRecordedError : kClean;
}

}  // namespace

Command add_dump_command(CLI::App& app) {
  auto request = std::make_shared<DumpRequest>();
  CLI::App* command = app.add_subcommand("dump", "Show what a compiled route holds");
  command->footer(
      std::string("Reads the compiled files NAME_linea.dat, NAME_NUMBER.sim and NAME_NUMBER.dat "
                  "from ROUTE_DIR\n(those that are there), or the files named, or compiles the "
                  "description files in memory\n(--from, writing nothing), and shows the track "
                  "cells, the runs of speed, gradient,\nadhesion and scenery, the data table and "
                  "a summary of the plan. docs/compiled-files.md\ntells what every field "
                  "means.\n\n") +
      kDumpExitStatuses);
  command->add_option("ROUTE_DIR", request->folder, "the folder of the compiled route files");
  command->add_option("--line-name", request->line_name, "the line's identifier, as in Varelbo")
      ->check(check_name);
  command->add_option("--train-number", request->train_number, "the train's number, as in 3874")
      ->check(check_name);
  command->add_option("--plan", request->plan, "a line plan file (NAME_linea.dat)");
  command->add_option("--data", request->data, "a general data file (NAME_NUMBER.sim)");
  command->add_option("--track", request->track, "a track file (NAME_NUMBER.dat)");
  command->add_option("--from", request->from, "compile these description files in memory")
      ->expected(2);
  auto* cells = command->add_option("--cells", request->cells, "show cells A to B only (A-B)");
  command->add_option("--metres", request->metres, "show metres A to B only (A-B)")
      ->excludes(cells);
  command->add_flag("--no-plan", request->no_plan, "with --from: read no curves, make no plan");
  command->add_flag("--json", request->json, "print one JSON object instead of words");
  return {command,
          [request](std::ostream& out, std::ostream& err) { return dump(*request, out, err); }};
}

}  // namespace binario::tool
