// binario explain --warning NAME: the long explanation of a warning, as binario check names it.

#include <algorithm>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "authoring/diagnostics/explanations.h"
#include "authoring/diagnostics/record_kinds.h"
#include "tools/binario/binario.h"
#include "tools/binario/commands.h"
#include "tools/binario/report.h"
#include "tools/binario/route_json.h"

namespace binario::tool {

namespace {

struct ExplainRequest {
  std::string warning;
  bool json = false;
};

int explain(const ExplainRequest& request, std::ostream& out, std::ostream& err) {
  if (request.warning.empty()) {
    return report_failure(request.json, kUsageError,
                          "explain: name a warning with --warning NAME, as binario check ends "
                          "it: binario explain --warning curve-overlap",
                          out, err);
  }
  // Names are short: a long argument is no name, and is neither echoed nor matched.
  constexpr std::size_t kLongestName = 64;
  if (request.warning.size() > kLongestName) {
    return report_failure(request.json, kUsageError,
                          "explain: no warning has a name of " +
                              std::to_string(request.warning.size()) +
                              " characters; binario check ends each warning with its name",
                          out, err);
  }
  const std::optional<std::string_view> text = authoring::warning_explanation(request.warning);
  if (!text) {
    std::string message = "explain: no warning is named '" + request.warning + "'";
    std::string_view nearest;
    std::size_t best = 3;
    std::string names;
    for (std::string_view name : authoring::explained_warnings()) {
      names += (names.empty() ? "" : ", ") + std::string(name);
      const std::size_t d = authoring::edit_distance(request.warning, name);
      if (d < best) {
        best = d;
        nearest = name;
      }
    }
    if (!nearest.empty()) message += "; did you mean '" + std::string(nearest) + "'?";
    message += " The warnings are " + names;
    return report_failure(request.json, kUsageError, message, out, err);
  }
  if (request.json) {
    nlohmann::ordered_json json;
    json["warning"] = request.warning;
    json["explanation"] = std::string(*text);
    out << json_line(json);
  } else {
    out << *text << "\n";
  }
  return kClean;
}

}  // namespace

Command add_explain_command(CLI::App& app) {
  auto request = std::make_shared<ExplainRequest>();
  CLI::App* command = app.add_subcommand("explain",
                                         "Explain a warning at length: what it means, why it "
                                         "matters, an example and its fix");
  command->footer(
      "Prints the long explanation of the warning NAME, the name binario check ends each\n"
      "warning with: binario explain --warning curve-overlap.\n\n"
      "Exit status:\n"
      "  0  the explanation was printed\n"
      "  3  usage error: no warning, or no warning of that name");
  command->add_option("--warning", request->warning, "the warning's name, as in curve-overlap");
  command->add_flag("--json", request->json,
                    "print one JSON object: the warning's name and its explanation");
  return {command,
          [request](std::ostream& out, std::ostream& err) { return explain(*request, out, err); }};
}

}  // namespace binario::tool
