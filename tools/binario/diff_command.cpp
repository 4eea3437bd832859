// binario diff: two compiled routes compared in the words of the dump.

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "authoring/route/route_diff.h"
#include "tools/binario/binario.h"
#include "tools/binario/commands.h"
#include "tools/binario/report.h"
#include "tools/binario/route_json.h"
#include "tools/binario/route_source.h"

namespace binario::tool {

namespace {

const char* const kDiffExitStatuses =
    "Exit status:\n"
    "  0  the routes are the same\n"
    "  1  the routes differ\n"
    "  2  with --from: a stamp check failed (1250 or 1251); nothing was compiled\n"
    "  3  usage error\n"
    "  4  a file could not be read, or is not a compiled route file\n"
    "  5  any other failure of the system, such as memory running out";

// Status 1 means "they differ" here, as for diff; an error a compile step records is only
// reported.
constexpr int kDiffer = 1;

struct DiffRequest {
  std::vector<std::string> folders;
  std::vector<std::string> from;
  std::string line_name;
  std::string train_number;
  std::string cells;
  std::string metres;
  bool json = false;
  bool no_plan = false;
};

int diff(const DiffRequest& request, std::ostream& out, std::ostream& err) {
  if (request.from.size() % 2 != 0 || request.folders.size() + request.from.size() / 2 != 2) {
    return report_failure(request.json, kUsageError,
                          "diff: name two routes: two folders, a folder and --from LINE TRAIN, or "
                          "--from LINE_A TRAIN_A LINE_B TRAIN_B",
                          out, err);
  }
  std::int64_t first = 0;
  std::int64_t last = 0;
  authoring::RouteRange range;
  if (!request.cells.empty() || !request.metres.empty()) {
    const bool cells = !request.cells.empty();
    if (!parse_span(cells ? request.cells : request.metres, first, last)) {
      return report_failure(request.json, kUsageError,
                            std::string("diff: ") + (cells ? "--cells" : "--metres") +
                                " takes A-B, two whole numbers with A not above B",
                            out, err);
    }
    range = cells ? authoring::cell_range(first, last) : authoring::metre_range(first, last);
  }

  std::vector<LoadedRoute> sides;
  try {
    for (const std::string& folder : request.folders) {
      sides.push_back(load_route_folder(folder, request.line_name, request.train_number));
    }
    for (std::size_t i = 0; i + 1 < request.from.size(); i += 2) {
      sides.push_back(compile_route(request.from[i], request.from[i + 1], request.line_name,
                                    request.train_number, request.no_plan));
    }
  } catch (const RouteSourceFailure& failure) {
    return report_failure(request.json, failure.status, failure.what(), out, err);
  }
  for (std::size_t i = 0; i < sides.size(); ++i) {
    if (sides[i].recorded_error) {
      err << "binario: " << (i == 0 ? "a" : "b") << ": " << *sides[i].recorded_error << "\n";
    }
  }

  const authoring::RouteDiff difference =
      authoring::diff_routes(sides[0].route, sides[1].route, range);
  if (request.json) {
    out << json_line(
        diff_json(difference, sides[0].route, sides[1].route, sides[0].origin, sides[1].origin));
  } else {
    out << authoring::diff_text(difference, sides[0].route, sides[1].route, sides[0].origin,
                                sides[1].origin);
  }
  return difference.equal() ? kClean : kDiffer;
}

}  // namespace

Command add_diff_command(CLI::App& app) {
  auto request = std::make_shared<DiffRequest>();
  CLI::App* command = app.add_subcommand("diff", "Compare two compiled routes");
  command->footer(
      std::string("Compares two routes, each a folder of compiled files or a pair of "
                  "description files\ncompiled in memory (--from, writing nothing): the track "
                  "cells added, removed or changed,\nthe runs of speed, gradient, adhesion and "
                  "scenery that differ, the rows of the data\ntable changed, where the plans "
                  "part and how far, and the files present on one side only.\n"
                  "Prints nothing when the routes are the same.\n\n") +
      kDiffExitStatuses);
  command->add_option("ROUTE_DIR", request->folders, "the folders of the two routes")
      ->expected(0, 2);
  command
      ->add_option("--from", request->from,
                   "a route's description files, LINE_FILE TRAIN_FILE, compiled in memory "
                   "(once or twice)")
      ->expected(2, 4);
  command->add_option("--line-name", request->line_name, "the line's identifier, as in Varelbo")
      ->required()
      ->check(check_name);
  command->add_option("--train-number", request->train_number, "the train's number, as in 3874")
      ->required()
      ->check(check_name);
  auto* cells = command->add_option("--cells", request->cells, "compare cells A to B only (A-B)");
  command->add_option("--metres", request->metres, "compare metres A to B only (A-B)")
      ->excludes(cells);
  command->add_flag("--no-plan", request->no_plan, "with --from: read no curves, make no plan");
  command->add_flag("--json", request->json, "print one JSON object instead of words");
  return {command,
          [request](std::ostream& out, std::ostream& err) { return diff(*request, out, err); }};
}

}  // namespace binario::tool
